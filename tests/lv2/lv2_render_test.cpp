// The LV2 plug-in renders the VST module's samples, presets and changes included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "cli/demo_material.h"
#include "cli/preset_select.h"
#include "engine/parameters.h"
#include "tests/lv2/lv2_test_host.h"
#include "tests/support/module_fixture.h"

namespace kt::test {
namespace {

struct Stereo {
    std::vector<float> left, right;
};

Stereo drivenDemo(int rate, double seconds) {
    const StereoSignal demo = generateDemoMaterial(rate, seconds);
    Stereo s;
    for (std::size_t i = 0; i < demo.frames(); ++i) {
        s.left.push_back(static_cast<float>(demo.left[i]));
        s.right.push_back(static_cast<float>(demo.right[i]));
    }
    return s;
}

// A change made halfway through the signal: parameter index to value.
struct Change {
    int index;
    float value;
};

Stereo renderVst(const VstPlugin& vst, const Stereo& in, const Change& change) {
    Stereo out{std::vector<float>(in.left.size()), std::vector<float>(in.left.size())};
    const std::size_t half = in.left.size() / 2;
    for (std::size_t at = 0; at < in.left.size();) {
        if (at == half) vst.setParameter(change.index, change.value);
        const std::size_t n = std::min<std::size_t>(512, (at < half ? half : in.left.size()) - at);
        float* inputs[2] = {const_cast<float*>(&in.left[at]), const_cast<float*>(&in.right[at])};
        float* outputs[2] = {&out.left[at], &out.right[at]};
        vst.process(inputs, outputs, static_cast<int>(n));
        at += n;
    }
    return out;
}

// Blocks of uneven sizes, as hosts with varying periods run plug-ins.
Stereo renderLv2(Lv2Run& lv2, const Stereo& in, const Change& change) {
    Stereo out{std::vector<float>(in.left.size()), std::vector<float>(in.left.size())};
    const std::size_t half = in.left.size() / 2;
    constexpr std::size_t kBlocks[] = {1, 7, 300, 4096, 64};
    int k = 0;
    for (std::size_t at = 0; at < in.left.size(); ++k) {
        if (at == half) lv2.controls[change.index] = change.value;
        const std::size_t limit = at < half ? half : in.left.size();
        const std::size_t n = std::min(kBlocks[k % 5], limit - at);
        lv2.run(&in.left[at], &in.right[at], &out.left[at], &out.right[at],
                static_cast<std::uint32_t>(n));
        at += n;
    }
    return out;
}

std::size_t firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return i;
    return a.size();
}

class Lv2RenderTest : public ::testing::TestWithParam<int> {
  protected:
    TempConfig config;
    Lv2Bundle bundle;
};

TEST_P(Lv2RenderTest, MatchesTheVstModuleSampleForSample) {
    const int rate = GetParam();
    const Stereo in = drivenDemo(rate, 1.5);
    const std::vector<Lv2Bundle::Preset> presets = bundle.presets();
    ASSERT_EQ(presets.size(), 27u);
    // Presets covering every stage, each with a change halfway.
    const struct {
        int preset;
        Change change;
    } cases[] = {
        {0, {kDrive, 0.75f}},       {10, {kTransShape, paramLongToCont(2, 3)}},
        {11, {kNoiseShape, 0.93f}}, {19, {kOversample, paramLongToCont(0, 2)}},
        {23, {kLeveller, 0.3f}},    {25, {kQuantize, paramLongToCont(1, 2)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("preset " + std::to_string(c.preset) + " at " + std::to_string(rate));
        // Each host sets the preset up before it starts processing.
        auto vst = loadModule();
        ASSERT_TRUE(vst);
        vst->host().setRecording(false);
        std::string error;
        ASSERT_TRUE(selectPreset(*vst, c.preset, &error)) << error;
        vst->setSampleRate(static_cast<float>(rate));
        vst->setMainsOn(true);
        Lv2Run lv2(bundle, rate, &presets[c.preset].values);

        const Stereo a = renderVst(*vst, in, c.change);
        const Stereo b = renderLv2(lv2, in, c.change);
        EXPECT_EQ(lv2.latency(), static_cast<float>(vst->latency()));
        EXPECT_EQ(firstDifference(a.left, b.left), a.left.size());
        EXPECT_EQ(firstDifference(a.right, b.right), a.right.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, Lv2RenderTest, ::testing::Values(44100, 96000));

}  // namespace
}  // namespace kt::test
