// The X11 frame's event handling: X input through to the views and a value field (on Xvfb).
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>

#include "editor/value_fields.h"
#include "platform/x11_host_window.h"
#include "tests/gui/gui_test_support.h"

// Last: its macros (None, Status, ...) would clash with the names above.
#include <X11/Xlib.h>

using namespace kt;
using Log = std::vector<std::string>;
using Crossing = X11HostWindow::Crossing;

namespace {

struct X11Input : ::testing::Test {
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through with_xvfb.sh";
        host = X11HostWindow::create(width, height, "input");
        ASSERT_TRUE(host);
        frame = new CFrame(CRect(0, 0, width, height), &editor);
        ASSERT_TRUE(frame->open(host->windowId()));
        probe = new test::ProbeView(CRect(10, 10, 60, 60));
        frame->addView(probe);
        frame->idle();
    }
    void TearDown() override {
        if (frame) frame->close();
        host.reset();
    }
    // Lets the events sent so far arrive and be handled.
    void deliver() {
        host->flush();
        frame->pumpEvents(30);
    }
    // A menu of these entries, opened by a click.
    COptionMenu* openMenu(std::initializer_list<const char*> titles) {
        auto* menu = new COptionMenu(CRect(150, 10, 170, 30), &listener, 7, nullptr, nullptr, 0);
        for (const char* title : titles) menu->addEntry(title);
        frame->addView(menu);
        host->warpPointer(160, 20);
        host->sendButton(160, 20, 1, true, 1000);
        host->sendButton(160, 20, 1, false, 1050);
        deliver();
        EXPECT_TRUE(menu->isMenuOpen());
        return menu;
    }

    int width = 200, height = 100;
    std::unique_ptr<X11HostWindow> host;
    test::SpyEditor editor;
    test::SpyListener listener;
    CFrame* frame = nullptr;
    test::ProbeView* probe = nullptr;
};

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
struct ValueEntryX11 : X11Input {
    ValueEntryX11() { width = 524, height = 462; }
    void SetUp() override {
        X11Input::SetUp();
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
        X11Input::TearDown();
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

    CKavTextEdit* field = nullptr;
    Display* display = nullptr;
    Window hostWindow = 0;
};

}  // namespace

TEST_F(X11Input, ButtonsAndModifiersBecomeViewFlagsAndDoubleClicksComeFromEventTimes) {
    host->sendButton(20, 20, 1, true, 1000, kPlatformShift);
    host->sendButton(20, 20, 1, false, 1050);
    host->sendButton(21, 20, 1, true, 1250);
    deliver();
    EXPECT_EQ(probe->lastButtons, kLButton | kDoubleClick);
    EXPECT_EQ(probe->log, (Log{"down", "up", "entered", "down"}));
    host->sendButton(21, 20, 1, false, 1300);
    host->sendButton(30, 30, 3, true, 1400, kPlatformControl);
    deliver();
    EXPECT_EQ(probe->lastButtons, kRButton | kControl);
    EXPECT_EQ(probe->lastPoint, CPoint(30, 30));
}

TEST_F(X11Input, WheelNotchesArePressesOfButtonsFourToSevenAndReleasesAreIgnored) {
    host->sendButton(20, 20, 4, true, 100);
    host->sendButton(20, 20, 4, false, 110);
    host->sendButton(20, 20, 5, true, 120);
    host->sendButton(20, 20, 5, false, 130);
    host->sendButton(20, 20, 6, true, 140);  // horizontal: the probe does not take it
    deliver();
    EXPECT_EQ(probe->log, (Log{"wheel up", "wheel down"}));
}

TEST_F(X11Input, ADragSurvivesTheLeaveOfItsGrabAndMotionCarriesTheHeldButton) {
    host->sendMotion(20, 20, 0);
    host->sendButton(20, 20, 1, true, 100);
    host->sendMotion(150, 20, kPlatformLeftButton);
    host->sendCrossing(Crossing::leaveForGrab, 250, 20);
    host->sendCrossing(Crossing::leave, 250, 20);  // the pointer left during the drag
    host->sendMotion(250, 20, kPlatformLeftButton);
    deliver();
    EXPECT_EQ(frame->getMouseDownView(), probe);
    EXPECT_EQ(probe->lastButtons, kLButton);
    EXPECT_EQ(probe->log, (Log{"entered", "moved", "down", "moved", "moved"}));
    host->sendButton(250, 20, 1, false, 200);
    deliver();
    EXPECT_EQ(probe->log.back(), "exited");
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
}

TEST_F(X11Input, KeysReachTheFocusViewAsCharactersOrVirtualKeys) {
    frame->setFocusView(probe);
    host->sendKey("a", true, kPlatformShift);
    deliver();
    EXPECT_EQ(probe->lastKey.character, 'A');
    EXPECT_EQ(probe->lastKey.modifier, MODIFIER_SHIFT);
    host->sendKey("Escape", true);
    deliver();
    EXPECT_EQ(probe->lastKey.virt, VKEY_ESCAPE);
    EXPECT_EQ(probe->lastKey.character, 0);
    host->sendKey("Return", true, kPlatformControl);
    deliver();
    EXPECT_EQ(probe->lastKey.virt, VKEY_RETURN);
    EXPECT_EQ(probe->lastKey.modifier, MODIFIER_CONTROL);
    frame->setFocusView(nullptr);
}

TEST_F(X11Input, TheFrameNoticesWhenTheHostDestroysItsWindow) {
    EXPECT_TRUE(frame->getPlatformFrame()->isAlive());
    host->destroyWindow();
    host->flush();
    frame->idle();
    frame->pumpEvents(30);
    EXPECT_FALSE(frame->getPlatformFrame()->isAlive());
    frame->idle();  // nothing is drawn into the dead window, nothing fails
}

// Hosts take the focus back when the user clicks inside: that is no move to another window.
TEST_F(X11Input, AClickThatTheHostAnswersByTakingTheFocusStillReachesTheOpenList) {
    COptionMenu* menu = openMenu({"one", "two", "three"});
    const CRect list = frame->getModalView()->getViewSize();
    const int x = static_cast<int>(list.left + 20);
    const int y = static_cast<int>(list.top + list.height() / 2);  // the middle entry
    host->warpPointer(x, y);
    host->takeFocus();
    host->sendButton(x, y, 1, true, 3000);
    host->sendButton(x, y, 1, false, 3050);
    deliver();
    EXPECT_FALSE(menu->isMenuOpen());
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f}));
}

TEST_F(X11Input, TheHostTakingTheFocusWithoutAClickInsideClosesTheList) {
    COptionMenu* menu = openMenu({"one"});
    host->warpPointer(400, 300);  // the user went to another window
    host->takeFocus();
    deliver();
    EXPECT_FALSE(menu->isMenuOpen());
    EXPECT_TRUE(listener.values.empty());
}

TEST_F(ValueEntryX11, TypingAndReturnSetTheValueAndTheHostGetsItsKeyboardBack) {
    // The pointer over the editor, where a host's focus change also reaches it.
    XWarpPointer(display, None, hostWindow, 0, 0, 0, 0, 300, 100);
    XSetInputFocus(display, hostWindow, RevertToParent, CurrentTime);
    XSync(display, False);
    clickField();
    ASSERT_TRUE(field->isBeingEdited());
    EXPECT_EQ(focusedWindow(display), firstChild(display, hostWindow));
    keys({"4", "BackSpace", "3", "Return"});
    EXPECT_EQ(field->getValue(), 0.5625f);
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
