// A value field typed into through X events: it takes the host's keyboard focus and gives it back.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>

#include "editor/value_fields.h"
#include "platform/x11_host_window.h"
#include "tests/gui/gui_test_support.h"

// Last: its macros (None, Status, ...) would clash with the names above.
#include <X11/Xlib.h>

using namespace kt;

namespace {

Window windowOf(void* id) {
    return static_cast<Window>(reinterpret_cast<std::uintptr_t>(id));
}

Window focusedWindow(Display* display) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus;
}

Window firstChild(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    const Window child = count > 0 ? children[0] : 0;
    if (children) XFree(children);
    return child;
}

// An Input field in a host window, and a display connection of our own to see the focus.
struct ValueEntryX11 : ::testing::Test {
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through with_xvfb.sh";
        host = X11HostWindow::create(524, 462, "value entry");
        ASSERT_TRUE(host);
        frame = new CFrame(CRect(0, 0, 524, 462), &editor);
        ASSERT_TRUE(frame->open(host->windowId()));
        field = makeValueField(ValueField::Input, &listener, nullptr);
        frame->addView(field);
        field->setValue(0.5f);
        frame->idle();
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        hostWindow = windowOf(host->windowId());
    }
    void TearDown() override {
        if (display) XCloseDisplay(display);
        if (frame) frame->close();
    }
    void deliver() {
        host->flush();
        frame->pumpEvents(30);
        frame->idle();  // sends what the frame still holds (focus changes) to the server
    }
    void clickField() {
        host->sendButton(80, 418, 1, true, 1000);
        host->sendButton(80, 418, 1, false, 1050);
        deliver();
    }
    void keys(std::initializer_list<const char*> names) {
        for (const char* key : names) {
            host->sendKey(key, true);
            host->sendKey(key, false);
        }
        deliver();
    }

    std::unique_ptr<X11HostWindow> host;
    test::SpyEditor editor;
    test::SpyListener listener;
    CFrame* frame = nullptr;
    CKavTextEdit* field = nullptr;
    Display* display = nullptr;
    Window hostWindow = 0;
};

}  // namespace

TEST_F(ValueEntryX11, TypingAndReturnSetTheValueAndTheHostGetsItsKeyboardBack) {
    // The pointer over the editor, where a host's focus change also reaches it.
    XWarpPointer(display, None, hostWindow, 0, 0, 0, 0, 300, 100);
    XSetInputFocus(display, hostWindow, RevertToParent, CurrentTime);
    XSync(display, False);
    clickField();
    ASSERT_TRUE(field->isBeingEdited());
    EXPECT_EQ(focusedWindow(display), firstChild(display, hostWindow));
    keys({"4", "BackSpace", "3", "Return"});
    EXPECT_FALSE(field->isBeingEdited());
    EXPECT_EQ(field->getValue(), 0.5625f);
    EXPECT_STREQ(field->getText(), "+3.00dB");
    EXPECT_EQ(listener.values, (std::vector<float>{0.5625f}));
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 1", "end 1"}));
    EXPECT_EQ(focusedWindow(display), hostWindow);
}

// A host that takes the focus back right after the opening click (Ardour does).
TEST_F(ValueEntryX11, TheHostTakingTheFocusRightAfterTheOpeningClickDoesNotEndTheEntry) {
    host->warpPointer(80, 418);
    clickField();
    ASSERT_TRUE(field->isBeingEdited());
    host->takeFocus();
    deliver();
    deliver();
    EXPECT_TRUE(field->isBeingEdited());
    EXPECT_EQ(focusedWindow(display), firstChild(display, hostWindow));
    keys({"BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
          "6", "Return"});
    EXPECT_FALSE(field->isBeingEdited());
    EXPECT_STREQ(field->getText(), "+6.00dB");
}
