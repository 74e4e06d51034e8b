// Mouse, wheel and key input through the frame: which view gets what.
#include <gtest/gtest.h>

#include "tests/gui/gui_test_support.h"

using namespace kt::test;
using Log = std::vector<std::string>;

namespace {

struct TwoViews : ::testing::Test {
    TestFrame frame{200, 100};
    ProbeView* left = new ProbeView(CRect(10, 10, 60, 60));
    ProbeView* right = new ProbeView(CRect(100, 10, 150, 60));
    TwoViews() {
        frame->addView(left);
        frame->addView(right);
    }
};

}  // namespace

TEST_F(TwoViews, ClickGoesToTheViewUnderThePointOnlyWithItsEdgesHalfOpen) {
    frame.down(10, 10, kLButton);  // top-left corner is inside
    frame.up(10, 10, kLButton);
    EXPECT_EQ(left->log, (Log{"down", "up", "entered"}));
    EXPECT_EQ(left->lastPoint, CPoint(10, 10));
    EXPECT_TRUE(right->log.empty());

    frame.down(60, 30, kLButton);  // the right edge belongs to nobody
    EXPECT_EQ(frame->getMouseDownView(), nullptr);

    // A view that wants no drag gets no moves nor up, only hover.
    auto* once =
        new ProbeView(CRect(10, 70, 60, 90), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    frame->addView(once);
    frame.down(20, 80, kLButton);
    frame.move(25, 80, kLButton);
    frame.up(25, 80, kLButton);
    EXPECT_EQ(once->log, (Log{"down", "entered", "moved"}));
}

TEST_F(TwoViews, TopmostViewWinsAndNotHandledFallsThroughToTheViewBelow) {
    auto* below = new ProbeView(CRect(0, 0, 200, 100), kMouseEventHandled);
    auto* above = new ProbeView(CRect(100, 10, 150, 60), kMouseEventNotHandled);
    TestFrame f(200, 100);
    f->addView(below);
    f->addView(above);
    f.down(120, 20, kRButton);
    EXPECT_EQ(above->log.back(), "down");
    EXPECT_EQ(below->log.back(), "down");
    EXPECT_EQ(f->getMouseDownView(), below);
}

TEST_F(TwoViews, DragSendsMovesAndUpToTheDraggingViewEvenOutsideIt) {
    frame.move(20, 20);
    frame.down(20, 20, kLButton | kShift);
    EXPECT_EQ(left->lastButtons, kLButton | kShift);
    frame.move(120, 30, kLButton);   // over the other view
    frame.move(500, -40, kLButton);  // outside the window
    frame.up(500, -40, kLButton);
    EXPECT_EQ(left->log, (Log{"entered", "moved", "down", "moved", "moved", "up", "exited"}));
    EXPECT_EQ(left->lastPoint, CPoint(500, -40));
    EXPECT_TRUE(right->log.empty()) << "no hover changes while a drag holds the mouse";
    // After a drag the view under the pointer is entered.
    frame.move(20, 20);
    frame.down(20, 20, kLButton);
    frame.move(120, 30, kLButton);
    frame.up(120, 30, kLButton);
    EXPECT_EQ(right->log, (Log{"entered"}));
    EXPECT_EQ(left->log.back(), "exited");
}

TEST_F(TwoViews, DoubleClickFlagComesFromTimeAndPlace) {
    frame.down(20, 20, kLButton, 1000);
    frame.up(20, 20, kLButton);
    frame.down(22, 21, kLButton, 1300);
    EXPECT_EQ(left->lastButtons, kLButton | kDoubleClick);
    frame.up(22, 21, kLButton);
    frame.down(22, 21, kLButton, 1400);  // a third press starts anew
    EXPECT_EQ(left->lastButtons, kLButton);
    frame.up(22, 21, kLButton);
    frame.down(22, 21, kLButton, 1900);  // too late for a pair with the last one
    EXPECT_EQ(left->lastButtons, kLButton);
    frame.up(22, 21, kLButton);
    frame.down(40, 40, kLButton, 2000);  // too far
    EXPECT_EQ(left->lastButtons, kLButton);
    frame.up(40, 40, kLButton);
    frame.down(40, 40, kRButton, 2100);  // another button
    EXPECT_EQ(left->lastButtons, kRButton);
}

TEST_F(TwoViews, ModalViewTakesAllMouseInputInFrameCoordinates) {
    auto* modal = new ProbeView(CRect(0, 0, 0, 0));
    frame->setModalView(modal);
    frame.down(120, 20, kLButton);
    frame.move(121, 20, kLButton);
    frame.up(121, 20, kLButton);
    frame->platformWheel(20, 20, 0, 1.0f, 0);
    EXPECT_EQ(modal->log, (Log{"down", "moved", "up", "wheel up"}));
    EXPECT_TRUE(frame->getMouseOverView() == nullptr);
    EXPECT_EQ(modal->lastPoint, CPoint(20, 20));
    EXPECT_TRUE(left->log.empty());
    EXPECT_TRUE(right->log.empty());
    frame->platformMouseExited();  // the modal view hears that the pointer left
    EXPECT_EQ(modal->log.back(), "exited");
    frame->setModalView(nullptr);
    modal->forget();
    frame.down(120, 20, kLButton);
    EXPECT_EQ(right->log.back(), "down");
}

TEST_F(TwoViews, RemovedViewsAreForgottenByTheFrame) {
    frame.down(20, 20, kLButton);
    left->remember();
    frame->removeView(left);
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
    EXPECT_EQ(frame->getMouseOverView(), nullptr);
    frame.move(30, 30, kLButton);
    frame.up(30, 30, kLButton);
    EXPECT_EQ(left->log.back(), "down");
    left->forget();
}
