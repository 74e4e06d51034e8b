// Bad control values and unconnected ports do no harm; editor changes reach the listener.
#include "lv2/lv2_instance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/parameters.h"
#include "lv2/lv2_descriptor.h"
#include "tests/lv2/lv2_test_host.h"
#include "tests/support/module_fixture.h"

namespace kt::test {
namespace {

TEST(Lv2Instance, ControlsAndConnectionsAHostGetsWrong) {
    TempConfig config;
    Lv2Bundle bundle;
    Lv2Run lv2(bundle, 44100);
    std::vector<float> in(64, 0.5f), outL(64), outR(64, 7.0f);
    auto block = [&] { lv2.run(in.data(), in.data(), outL.data(), outR.data(), 64); };

    lv2.controls[kDrive] = 0.7f;
    block();
    lv2.controls[kDrive] = std::numeric_limits<float>::quiet_NaN();
    lv2.controls[kRelease] = 5.0f;
    lv2.controls[kTransient] = -std::numeric_limits<float>::infinity();
    const float output = lv2.controls[kOutput];
    lv2.disconnectControl(kOutput);
    lv2.controls[kOutput] = 0.1f;
    block();
    // No right input (the left feeds both), no right output, no left output, no input.
    lv2.run(in.data(), nullptr, outL.data(), nullptr, 64);
    lv2.run(in.data(), in.data(), nullptr, outR.data(), 64);
    for (const float v : outR) EXPECT_EQ(v, 0.0f);
    lv2.run(nullptr, nullptr, outL.data(), outR.data(), 64);
    lv2.run(in.data(), in.data(), outL.data(), outR.data(), 0);

    auto vst = loadModule();
    ASSERT_EQ(vst->setChunk(lv2.save()), 0);
    EXPECT_EQ(vst->getParameter(kDrive), 0.7f);
    EXPECT_EQ(vst->getParameter(kRelease), 1.0f);
    EXPECT_EQ(vst->getParameter(kTransient), 0.0f);
    EXPECT_EQ(vst->getParameter(kOutput), output);
}

class Recorder : public lv2::EffectListener {
  public:
    void parameterAutomated(int index, float value) override {
        automated.push_back({index, value});
    }
    void editBegun(int index) override { begun.push_back(index); }
    void editEnded(int index) override { ended.push_back(index); }
    void displayChanged() override { ++displays; }
    void instanceGone() override {}

    std::vector<std::pair<int, float>> automated;
    std::vector<int> begun, ended;
    int displays = 0;
};

TEST(Lv2Instance, TheEditorsChangesReachTheListener) {
    TempConfig config;
    const LV2_Descriptor& descriptor = lv2::descriptor();
    const LV2_Feature* features[] = {nullptr};
    LV2_Handle handle = descriptor.instantiate(&descriptor, 48000, "", features);
    ASSERT_TRUE(handle);
    auto* instance = static_cast<lv2::Lv2Instance*>(handle);
    Recorder recorder;
    ASSERT_TRUE(instance->attachListener(&recorder));

    instance->effect().beginEdit(kDrive);
    instance->effect().setParameterAutomated(kDrive, 0.6f);
    instance->effect().endEdit(kDrive);
    instance->effect().setPresetNo(3);
    EXPECT_EQ(recorder.automated, (std::vector<std::pair<int, float>>{{kDrive, 0.6f}}));
    // A preset switch brackets itself as an edit of parameter 0.
    EXPECT_EQ(recorder.begun, (std::vector<int>{kDrive, 0}));
    EXPECT_EQ(recorder.ended, (std::vector<int>{kDrive, 0}));
    EXPECT_GE(recorder.displays, 1);

    instance->detachListener(&recorder);
    instance->effect().setParameterAutomated(kDrive, 0.2f);
    EXPECT_EQ(recorder.automated.size(), 1u);
    descriptor.cleanup(handle);
}

}  // namespace
}  // namespace kt::test
