// The editor base class with a fake effect: idle pacing, draw and wheel.
#include <gtest/gtest.h>

#include <vector>

#include "editor/AEffGUIEditor.h"
#include "editor/MyFrame.h"
#include "host/AudioEffectX.h"
#include "platform/offscreen_frame.h"
#include "tests/gui/gui_test_support.h"

namespace {

std::vector<vst::int32> hostCalls;
AEffGUIEditor* reentrantEditor = nullptr;

vst::VstIntPtr recordingHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::VstIntPtr, void*,
                             float) {
    hostCalls.push_back(opcode);
    // A host that answers its idle call with an editor idle of its own.
    if (opcode == vst::audioMasterIdle && reentrantEditor) reentrantEditor->idle();
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class FakeEffect : public AudioEffectX {
  public:
    FakeEffect() : AudioEffectX(recordingHost, 1, 1) {}
    void processReplacing(float**, float**, vst::int32) override {}
};

// Counts event waits, so the bounded wait of doIdleStuff can be seen.
class CountingPlatform : public kt::OffscreenFrame {
  public:
    CountingPlatform() : OffscreenFrame(120, 100) {}
    void pumpEvents(int maxWaitMs) override {
        if (maxWaitMs > 0) waits.push_back(maxWaitMs);  // an idle pass pumps without waiting
    }
    std::vector<int> waits;
};

class TestEditor : public AEffGUIEditor {
  public:
    explicit TestEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
        rect = {0, 0, 100, 120};
        lastIdleTicks = clock;
        frame = new MyFrame(CRect(0, 0, 120, 100), this);
        auto p = std::make_unique<CountingPlatform>();
        platform = p.get();
        frame->open(std::move(p));
    }
    void idle() override {
        ++idles;
        AEffGUIEditor::idle();
    }
    std::uint32_t currentTicks() const override { return clock; }
    MyFrame* myFrame() { return frame; }

    std::uint32_t clock = 1000;
    int idles = 0;
    CountingPlatform* platform;
};

struct GuiEditor : ::testing::Test {
    FakeEffect* effect = new FakeEffect;
    TestEditor* editor = new TestEditor(effect);  // owned by the effect
    GuiEditor() { hostCalls.clear(); }
    ~GuiEditor() override {
        reentrantEditor = nullptr;
        delete effect;
    }
    // One doIdleStuff `ms` after the last pass that ran.
    void idleStuffAfter(std::uint32_t ms, std::uint32_t lastPass) {
        editor->clock = lastPass + ms;
        editor->doIdleStuff();
    }
};

}  // namespace

TEST_F(GuiEditor, DoIdleStuffPacesIdlePassesDuringADrag) {
    editor->clock = 1000;
    editor->doIdleStuff();  // the first call runs at once
    ASSERT_EQ(editor->idles, 1);
    EXPECT_EQ(hostCalls, (std::vector<vst::int32>{vst::audioMasterIdle}));
    EXPECT_TRUE(editor->platform->waits.empty());

    idleStuffAfter(20, 1000);  // too soon: only the bounded wait
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(editor->platform->waits, (std::vector<int>{4}));

    idleStuffAfter(60, 1000);  // after the wait the pass runs
    EXPECT_EQ(editor->idles, 2);
    EXPECT_EQ(editor->platform->waits.size(), 2u);

    idleStuffAfter(150, 1064);  // long enough: runs without waiting
    EXPECT_EQ(editor->idles, 3);
    EXPECT_EQ(editor->platform->waits.size(), 2u);
    EXPECT_EQ(hostCalls.size(), 3u);
}

TEST_F(GuiEditor, IdleInsideTheHostsIdleCallbackDoesNothing) {
    reentrantEditor = editor;
    auto* view = new CView(CRect(0, 0, 10, 10));
    editor->myFrame()->addView(view);
    editor->myFrame()->idle();
    const int shown = editor->platform->presentCount;
    view->setDirty();
    editor->doIdleStuff();  // its own pass draws; the host's nested idle must not
    EXPECT_EQ(editor->idles, 2);
    EXPECT_EQ(editor->platform->presentCount, shown + 1);
}

TEST_F(GuiEditor, DrawNormalisesTheHostsRectangle) {
    struct Spy : CView {
        Spy() : CView(CRect(0, 0, 120, 100)) {}
        void drawRect(CDrawContext* c, const CRect& update) override {
            updates.push_back(update);
            CView::drawRect(c, update);
        }
        std::vector<CRect> updates;
    };
    auto* spy = new Spy;
    editor->myFrame()->addView(spy);
    vst::ERect reversed{80, 90, 20, 30};  // top, left, bottom, right
    editor->draw(&reversed);
    editor->draw(nullptr);
    ASSERT_EQ(spy->updates.size(), 2u);
    EXPECT_EQ(spy->updates[0], CRect(30, 20, 90, 80));
    EXPECT_EQ(spy->updates[1], CRect(0, 0, 120, 100));
}

TEST_F(GuiEditor, WheelGoesWhereThePointerIsWithTheButtonsHeld) {
    auto* wheel = new kt::test::ProbeView(CRect(50, 50, 60, 60));
    editor->myFrame()->addView(wheel);
    editor->platform->setPointer(55, 52, kShift);
    EXPECT_TRUE(editor->onWheel(-1.0f));
    EXPECT_EQ(wheel->log, (std::vector<std::string>{"wheel down"}));
    EXPECT_EQ(wheel->lastPoint, CPoint(55, 52));
    EXPECT_EQ(wheel->lastButtons, kShift);
    editor->platform->setPointer(5, 5, 0);
    EXPECT_FALSE(editor->onWheel(1.0f));
}
