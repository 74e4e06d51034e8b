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

TEST_F(LoaderTest, ReportsTheModulesIdentityAndRecord) {
    auto plugin = load();
    ASSERT_TRUE(plugin);
    const EffectIdentity id = plugin->identity();
    EXPECT_EQ(id.name, "Kav Tamor");
    EXPECT_EQ(id.product, "Full band precision limiter");
    EXPECT_EQ(id.vendorVersion, 1510);
    EXPECT_EQ(id.vstVersion, 2400);
    EXPECT_EQ(id.category, vst::kPlugCategMastering);
    EXPECT_EQ(fourCharText(id.uniqueId), "Kvtr");
    EXPECT_EQ(plugin->numParams(), 26);
    EXPECT_EQ(plugin->numPrograms(), 1);
    EXPECT_EQ(plugin->numInputs(), 2);
    EXPECT_EQ(plugin->numOutputs(), 2);
    EXPECT_EQ(plugin->flags(), 4145);
    EXPECT_EQ(plugin->latency(), 159);
    EXPECT_EQ(plugin->parameterName(7), "DetectorOrder");
    EXPECT_EQ(plugin->parameterLabel(3), "ms");
    EXPECT_EQ(plugin->programNameIndexed(26).value_or(""), "DVD Master 2 [recon]");
    EXPECT_FALSE(plugin->programNameIndexed(27).has_value());
    EXPECT_TRUE(plugin->shellEntries().empty());
}

TEST_F(LoaderTest, RecordsTheVersionQueryMadeBeforeTheRecordExists) {
    auto host = std::make_shared<HostCallback>();
    auto plugin = load(host);
    ASSERT_TRUE(plugin);
    const std::vector<HostCall> calls = host->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, vst::audioMasterVersion);
    EXPECT_EQ(calls.front().effect, nullptr);
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_GT(calls[i].sequence, calls[i - 1].sequence);
        EXPECT_GE(calls[i].time, calls[i - 1].time);
    }
}

TEST_F(LoaderTest, AHostAnsweringVersionZeroGetsNoEffect) {
    auto host = std::make_shared<HostCallback>();
    host->setAnswer(vst::audioMasterVersion, 0);
    VstPlugin::Options options;
    options.host = host;
    std::string error;
    EXPECT_FALSE(VstPlugin::load(KT_MODULE_PATH, options, &error));
    EXPECT_NE(error.find("no effect"), std::string::npos) << error;
    EXPECT_GE(host->count(vst::audioMasterVersion), 1u);
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

TEST_F(LoaderTest, AnswersCanBeChangedPerOpcode) {
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
}

TEST_F(LoaderTest, InstancesLoadedTogetherAreIndependent) {
    auto hostA = std::make_shared<HostCallback>();
    auto hostB = std::make_shared<HostCallback>();
    auto a = load(hostA);
    auto b = load(hostB);
    ASSERT_TRUE(a && b);
    ASSERT_NE(a->effect(), b->effect());
    a->setParameter(1, 0.75f);
    EXPECT_FLOAT_EQ(a->getParameter(1), 0.75f);
    EXPECT_FLOAT_EQ(b->getParameter(1), 0.5f);

    hostA->clearCalls();
    hostB->clearCalls();
    processBlocks(*b, 2);
    EXPECT_EQ(hostA->count(vst::audioMasterPinConnected), 0u);
    EXPECT_GE(hostB->count(vst::audioMasterPinConnected), 2u);
    for (const HostCall& call : hostB->calls()) EXPECT_EQ(call.effect, b->effect());

    // Closing one leaves the other working.
    EXPECT_EQ(a->close(), 1);
    EXPECT_FALSE(a->isOpen());
    processBlocks(*b, 1);
}

TEST_F(LoaderTest, RecordingCanBeSwitchedOff) {
    auto host = std::make_shared<HostCallback>();
    auto plugin = load(host);
    ASSERT_TRUE(plugin);
    host->setRecording(false);
    host->clearCalls();
    processBlocks(*plugin, 4);
    EXPECT_TRUE(host->calls().empty());
}

TEST_F(LoaderTest, ChunkTravelsBothWays) {
    auto plugin = load();
    ASSERT_TRUE(plugin);
    plugin->setParameter(1, 0.25f);
    const std::vector<std::uint8_t> chunk = plugin->getChunk();
    EXPECT_EQ(chunk.size(), 27049u);
    plugin->setParameter(1, 0.9f);
    EXPECT_EQ(plugin->setChunk(chunk), 0);
    EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.25f);
    EXPECT_EQ(plugin->setChunk(std::vector<std::uint8_t>(64, 0)), -1);
}

TEST_F(LoaderTest, LatencyFollowsTheSampleRate) {
    auto plugin = load();
    ASSERT_TRUE(plugin);
    plugin->setSampleRate(96000.0f);
    EXPECT_EQ(plugin->latency(), 287);
    plugin->setSampleRate(192000.0f);
    EXPECT_EQ(plugin->latency(), 543);
    plugin->setSampleRate(44100.0f);
    EXPECT_EQ(plugin->latency(), 159);
}

}  // namespace
}  // namespace kt
