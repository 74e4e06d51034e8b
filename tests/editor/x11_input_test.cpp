// The X11 frame's event handling: X input through to the views (on Xvfb).
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>

#include "platform/x11_host_window.h"
#include "tests/gui/gui_test_support.h"

using namespace kt;
using Log = std::vector<std::string>;
using Crossing = X11HostWindow::Crossing;

namespace {

struct X11Input : ::testing::Test {
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through with_xvfb.sh";
        host = X11HostWindow::create(200, 100, "input");
        ASSERT_TRUE(host);
        frame = new CFrame(CRect(0, 0, 200, 100), &editor);
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

    std::unique_ptr<X11HostWindow> host;
    test::SpyEditor editor;
    test::SpyListener listener;
    CFrame* frame = nullptr;
    test::ProbeView* probe = nullptr;
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
