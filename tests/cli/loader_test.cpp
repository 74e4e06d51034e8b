// The loader and its stand-in host, driving the real module.
#include <gtest/gtest.h>

#include <vector>

#include "cli/vst_host.h"
#include "tests/support/temp_config.h"

namespace kt {
namespace {

TEST(LoaderTest, RefusesFilesThatAreNotModules) {
    std::string error;
    EXPECT_FALSE(VstPlugin::load("/nonexistent/KavTamor.so", &error));
    EXPECT_NE(error.find("/nonexistent/KavTamor.so"), std::string::npos) << error;
    EXPECT_FALSE(VstPlugin::load("libsndfile.so.1", &error));
    EXPECT_NE(error.find("not a VST 2.4 module"), std::string::npos) << error;
}

// The stand-in host's answers per opcode, and its record switched off.
TEST(LoaderTest, AnswersAndRecordingCanBeChanged) {
    test::TempConfig config;
    auto host = std::make_shared<HostCallback>();
    // The second input reported unconnected, outputs connected.
    host->setHandler(vst::audioMasterPinConnected, [](const HostCall& call) -> vst::VstIntPtr {
        return call.value == 0 ? 1 : 0;
    });
    VstPlugin::Options options;
    options.host = host;
    std::string error;
    auto plugin = VstPlugin::load(KT_MODULE_PATH, options, &error);
    ASSERT_TRUE(plugin) << error;
    std::vector<double> l(256, 0.1), r(256, 0.1);
    double* io[] = {l.data(), r.data()};
    plugin->processDouble(io, io, 256);
    EXPECT_EQ(host->handle(nullptr, vst::audioMasterPinConnected, 1, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(host->handle(nullptr, vst::audioMasterPinConnected, 1, 1, nullptr, 0.0f), 0);
    host->clearAnswer(vst::audioMasterPinConnected);
    EXPECT_EQ(host->handle(nullptr, vst::audioMasterPinConnected, 1, 0, nullptr, 0.0f), 0);
    host->setRecording(false);
    host->clearCalls();
    plugin->processDouble(io, io, 256);
    EXPECT_TRUE(host->calls().empty());
}

}  // namespace
}  // namespace kt
