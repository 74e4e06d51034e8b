// Bad control values and unconnected ports do no harm.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "engine/parameters.h"
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

}  // namespace
}  // namespace kt::test
