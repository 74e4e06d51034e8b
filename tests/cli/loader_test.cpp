// The loader, driving the real module the way a host does.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cli/vst_host.h"
#include "tests/support/temp_config.h"

namespace kt {
namespace {

class LoaderTest : public ::testing::Test {
  protected:
    std::unique_ptr<VstPlugin> load(std::shared_ptr<HostCallback> host = nullptr) {
        VstPlugin::Options options;
        options.host = host;
        std::string error;
        auto plugin = VstPlugin::load(KT_MODULE_PATH, options, &error);
        EXPECT_TRUE(plugin) << error;
        return plugin;
    }

    // Processes `blocks` blocks of a quiet sine in double precision.
    static void processBlocks(const VstPlugin& plugin, int blocks, int frames = 256) {
        std::vector<double> left(frames), right(frames), outLeft(frames), outRight(frames);
        for (int i = 0; i < frames; ++i) left[i] = right[i] = 0.1 * std::sin(0.05 * i);
        double* in[] = {left.data(), right.data()};
        double* out[] = {outLeft.data(), outRight.data()};
        for (int b = 0; b < blocks; ++b) plugin.processDouble(in, out, frames);
        for (double v : outLeft) ASSERT_TRUE(std::isfinite(v));
    }

    test::TempConfig config;
};

// Calls made before the record exists are recorded too, all in order.
TEST_F(LoaderTest, RecordsCallsInOrderFromTheFirstOn) {
    auto host = std::make_shared<HostCallback>();
    auto plugin = load(host);
    ASSERT_TRUE(plugin);
    EXPECT_EQ(fourCharText(plugin->identity().uniqueId), "Kvtr");
    EXPECT_TRUE(plugin->shellEntries().empty());
    const std::vector<HostCall> calls = host->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().effect, nullptr);
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_GT(calls[i].sequence, calls[i - 1].sequence);
        EXPECT_GE(calls[i].time, calls[i - 1].time);
    }
}

TEST_F(LoaderTest, RefusesFilesThatAreNotModules) {
    std::string error;
    EXPECT_FALSE(VstPlugin::load("/nonexistent/KavTamor.so", &error));
    EXPECT_NE(error.find("/nonexistent/KavTamor.so"), std::string::npos) << error;
    EXPECT_FALSE(VstPlugin::load("libsndfile.so.1", &error));
    EXPECT_NE(error.find("not a VST 2.4 module"), std::string::npos) << error;
}

TEST_F(LoaderTest, AsksWhetherTheSecondPinsAreConnectedEveryBlock) {
    auto host = std::make_shared<HostCallback>();
    auto plugin = load(host);
    ASSERT_TRUE(plugin);
    host->clearCalls();
    processBlocks(*plugin, 5);
    int inputQueries = 0, outputQueries = 0;
    for (const HostCall& call : host->calls()) {
        if (call.opcode != vst::audioMasterPinConnected) continue;
        EXPECT_EQ(call.effect, plugin->effect());
        EXPECT_EQ(call.index, 1);
        (call.value == 0 ? inputQueries : outputQueries)++;
    }
    EXPECT_GE(inputQueries, 5);
    EXPECT_GE(outputQueries, 5);
}

// The stand-in host's answers per opcode, and its record switched off.
TEST_F(LoaderTest, AnswersAndRecordingCanBeChanged) {
    auto host = std::make_shared<HostCallback>();
    // The second input reported unconnected, outputs connected.
    host->setHandler(vst::audioMasterPinConnected, [](const HostCall& call) -> vst::VstIntPtr {
        return call.value == 0 ? 1 : 0;
    });
    auto plugin = load(host);
    ASSERT_TRUE(plugin);
    processBlocks(*plugin, 3);
    EXPECT_EQ(host->handle(nullptr, vst::audioMasterPinConnected, 1, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(host->handle(nullptr, vst::audioMasterPinConnected, 1, 1, nullptr, 0.0f), 0);
    host->clearAnswer(vst::audioMasterPinConnected);
    EXPECT_EQ(host->handle(nullptr, vst::audioMasterPinConnected, 1, 0, nullptr, 0.0f), 0);
    host->setRecording(false);
    host->clearCalls();
    processBlocks(*plugin, 4);
    EXPECT_TRUE(host->calls().empty());
}

}  // namespace
}  // namespace kt
