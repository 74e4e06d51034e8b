// What an open editor costs the host's user-interface thread, on an offscreen
// window (no X server; the copy to the screen is left out):
//   idle_meters    one host idle call with the meters moving, one poll per
//                  call as at 30 idle calls a second (the 40 ms gate passed)
//   full_repaint   the whole window drawn again (the host's draw request)
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "editor/Editor.h"
#include "editor/MyFrame.h"
#include "editor/meter_source.h"
#include "gui/CDrawContext.h"
#include "platform/offscreen_frame.h"
#include "plugin/Plugin.h"

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::VstIntPtr, void*,
                         float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

// Levels that wander like music: every poll reads something new.
class MovingMeters : public kt::MeterSource {
  public:
    void getMeters(float* inPeakL, float* inPeakR, float* outPeakL, float* outPeakR, float* inRmsL,
                   float* inRmsR, float* outRmsL, float* outRmsR, float* gainL,
                   float* gainR) override {
        phase += 0.37;
        const float peak = static_cast<float>(0.5 + 0.45 * std::sin(phase));
        *inPeakL = *outPeakL = peak;
        *inPeakR = *outPeakR = peak * 0.9f;
        *inRmsL = *inRmsR = *outRmsL = *outRmsR = peak * 0.3f;
        *gainL = *gainR = static_cast<float>(0.6 + 0.3 * std::cos(phase));
    }
    double phase = 0.0;
};

class BenchEditor : public Editor {
  public:
    using Editor::Editor;
    std::uint32_t currentTicks() const override { return clock; }
    MyFrame* window() const { return frame; }
    std::uint32_t clock = 1000;

  protected:
    bool openWindow(MyFrame* newFrame, void*) override {
        const CRect& size = newFrame->getViewSize();
        newFrame->open(std::make_unique<kt::OffscreenFrame>(static_cast<int>(size.width()),
                                                            static_cast<int>(size.height())));
        return true;
    }
};

// The effect with its editor open offscreen.
struct OpenEditor {
    OpenEditor() {
        delete plugin.getEditor();  // replaced by one with an offscreen window
        editor = new BenchEditor(&plugin);
        editor->setMeterSource(&meters);
        editor->open(nullptr);
        editor->idle();
    }
    ~OpenEditor() { editor->close(); }

    Plugin plugin{quietHost};
    MovingMeters meters;
    BenchEditor* editor;
};

void idle_meters(benchmark::State& state) {
    OpenEditor open;
    for (auto _ : state) {
        open.editor->clock += 41;
        open.editor->idle();
    }
}
BENCHMARK(idle_meters)->Unit(benchmark::kMicrosecond);

void full_repaint(benchmark::State& state) {
    OpenEditor open;
    MyFrame* frame = open.editor->window();
    for (auto _ : state) {
        auto context = frame->createDrawContext();
        frame->drawAll(context.get(), frame->getViewSize());
    }
}
BENCHMARK(full_repaint)->Unit(benchmark::kMicrosecond);

}  // namespace
