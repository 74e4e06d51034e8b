// The editor's frame: the modal view, the full redraw while it is up, drawRect's clip.
#include "editor/MyFrame.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "gui/CControl.h"
#include "platform/offscreen_frame.h"
#include "tests/gui/gui_test_support.h"

namespace {

constexpr CColor kPanel{213, 236, 246, 255};

// Like the about panel: gives up its rectangle while shown, draws at fixed frame points.
class Panel : public CControl {
  public:
    Panel() : CControl(CRect(200, 200, 220, 220)) {}
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override {
        clicks.push_back(where);
        auto* frame = static_cast<MyFrame*>(getFrame());
        shown = !shown;
        if (shown) {
            setViewSize(CRect(0, 0, 0, 0), false);
            frame->makeModal(this);
        } else {
            setViewSize(CRect(200, 200, 220, 220), false);
            frame->closeModal();
        }
        frame->setDirty(true);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    void draw(CDrawContext* c) override {
        ++draws;
        if (shown) {
            c->setFillColor(kPanel);
            c->fillRect(CRect(40, 40, 160, 100));
        }
        setDirty(false);
    }
    std::vector<CPoint> clicks;
    bool shown = false;
    int draws = 0;
};

struct EditorFrame : ::testing::Test {
    MyFrame* frame = new MyFrame(CRect(0, 0, 300, 300), nullptr);
    kt::OffscreenFrame* platform = nullptr;
    Panel* panel = new Panel;
    kt::test::ProbeView* knob = new kt::test::ProbeView(CRect(50, 50, 80, 80));
    EditorFrame() {
        auto p = std::make_unique<kt::OffscreenFrame>(300, 300);
        platform = p.get();
        frame->open(std::move(p));
        frame->setBackgroundColor(CColor(0, 0, 0));
        frame->addView(knob);
        frame->addView(panel);
        frame->idle();
    }
    ~EditorFrame() override { frame->close(); }
    long presses() { return std::count(knob->log.begin(), knob->log.end(), "down"); }
    std::uint32_t pixel(int x, int y) { return kt::test::pixelOf(platform->backBuffer(), x, y); }
};

}  // namespace

TEST_F(EditorFrame, WhileModalEveryClickAnywhereReachesOnlyTheModalView) {
    frame->platformMouseDown(210, 210, kLButton, 100);  // opens the panel
    ASSERT_EQ(frame->getModal(), panel);
    frame->platformMouseMoved(60, 60, 0);
    frame->platformWheel(60, 60, 0, 1.0f, 0);
    frame->platformMouseDown(60, 60, kLButton, 5000);  // on the knob: closes the panel
    EXPECT_TRUE(knob->log.empty());
    EXPECT_EQ(frame->getModal(), nullptr);
    ASSERT_EQ(panel->clicks.size(), 2u);
    EXPECT_EQ(panel->clicks[1], CPoint(60, 60)) << "frame coordinates";
    frame->platformMouseDown(60, 60, kLButton, 9000);
    EXPECT_EQ(presses(), 1);
}

TEST_F(EditorFrame, WhileModalEachIdlePassRedrawsTheWholeFrameWithThePanelOnTop) {
    frame->platformMouseDown(210, 210, kLButton, 100);
    const int knobDraws = knob->draws;
    for (int pass = 0; pass < 3; ++pass) frame->idle();
    EXPECT_EQ(knob->draws, knobDraws + 3);
    const int* r = platform->lastPresent;
    EXPECT_EQ((std::vector<int>{r[0], r[1], r[2], r[3]}), (std::vector<int>{0, 0, 300, 300}));
    EXPECT_EQ(pixel(100, 60), 0xD5ECF6u) << "the panel is drawn although its rectangle is empty";
    EXPECT_EQ(pixel(100, 60), pixel(45, 45));

    frame->platformMouseDown(100, 60, kLButton, 5000);  // closes
    const int before = knob->draws;
    frame->idle();
    EXPECT_EQ(knob->draws, before + 1) << "closing redraws the whole frame once";
    EXPECT_EQ(pixel(100, 60), 0u);
    frame->idle();
    EXPECT_EQ(knob->draws, before + 1) << "and then only what is dirty";
}

TEST_F(EditorFrame, DrawRectKeepsToTheUpdateAreaInsideTheContextsClip) {
    frame->makeModal(panel);
    panel->shown = true;
    auto context = frame->createDrawContext();
    context->setClipRect(CRect(0, 0, 100, 300));
    frame->drawRect(context.get(), CRect(50, 0, 300, 300));
    EXPECT_EQ(pixel(60, 60), 0xD5ECF6u);
    EXPECT_EQ(pixel(45, 60), 0u) << "left of the update area";
    EXPECT_EQ(pixel(120, 60), 0u) << "right of the context's clip";
    CRect clip;
    context->getClipRect(clip);
    EXPECT_EQ(clip, CRect(0, 0, 100, 300)) << "the previous clip is restored";

    const int draws = knob->draws;
    frame->drawRect(context.get(), CRect(50, 50, 50, 300));  // no width: nothing
    frame->drawRect(nullptr, CRect(0, 0, 300, 300));
    EXPECT_EQ(knob->draws, draws);
}

TEST_F(EditorFrame, AModalViewThatLeavesTheFrameIsForgotten) {
    frame->makeModal(panel);
    frame->removeView(panel);
    EXPECT_EQ(frame->getModal(), nullptr);
    frame->platformMouseDown(60, 60, kLButton, 100);
    EXPECT_EQ(presses(), 1);
}
