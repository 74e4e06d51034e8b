// The effect with its editor on an offscreen frame, a test clock and a recording host.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/MyFrame.h"
#include "editor/meter_source.h"
#include "platform/offscreen_frame.h"
#include "plugin/Plugin.h"
#include "tests/support/temp_config.h"

namespace kt::test {

// What the host heard: "automate I", "begin I", "end I".
std::vector<std::string>& hostLog();

// Meter readings the test chooses; counts the polls.
class FakeMeters : public kt::MeterSource {
  public:
    void getMeters(float* inPeakL, float* inPeakR, float* outPeakL, float* outPeakR, float* inRmsL,
                   float* inRmsR, float* outRmsL, float* outRmsR, float* gainL,
                   float* gainR) override;
    float peak = 0.5f, rms = 0.25f, gain = 0.5f;
    int polls = 0;
};

class OffscreenEditor : public Editor {
  public:
    explicit OffscreenEditor(AudioEffect* effect) : Editor(effect) {}
    std::uint32_t currentTicks() const override { return clock; }
    MyFrame* window() const { return frame; }
    // Writes the window's picture as PNG.
    bool savePicture(const std::string& path) const;

    std::uint32_t clock = getTicks() + 1000;

  protected:
    bool openWindow(MyFrame* newFrame, void* parent) override;
};

class EditorFixture : public ::testing::Test {
  protected:
    EditorFixture();
    ~EditorFixture() override { editor->close(); }

    // One host idle call `ms` after the clock's last reading.
    void idleAfter(std::uint32_t ms) {
        editor->clock += ms;
        editor->idle();
    }
    // A click at a frame point, far from the last one in time: never a double click.
    void click(double x, double y, std::int32_t buttons = 2) {
        editor->window()->platformMouseDown(x, y, buttons, eventTime += 1000);
        editor->window()->platformMouseUp(x, y, buttons);
    }
    template <typename View>
    View* view(int nth = 0) const {
        for (int i = 0; i < editor->window()->getNbViews(); ++i)
            if (auto* v = dynamic_cast<View*>(editor->window()->getView(i)); v && nth-- == 0)
                return v;
        return nullptr;
    }

    TempConfig config;  // before the effect: it reads the stored defaults
    std::unique_ptr<Plugin> plugin;
    OffscreenEditor* editor;  // owned by the effect
    FakeMeters meters;
    std::uint32_t eventTime = 0;
};

}  // namespace kt::test
