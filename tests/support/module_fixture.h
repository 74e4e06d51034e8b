// Loads the built module as a host does, preferences in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cli/vst_host.h"
#include "tests/support/temp_config.h"

namespace kt::test {

inline std::unique_ptr<VstPlugin> loadModule(std::shared_ptr<HostCallback> host = nullptr) {
    VstPlugin::Options options;
    options.host = host ? host : std::make_shared<HostCallback>();
    std::string error;
    auto plugin = VstPlugin::load(KT_MODULE_PATH, options, &error);
    EXPECT_TRUE(plugin) << error;
    return plugin;
}

class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plugin = loadModule();
        ASSERT_TRUE(plugin);
    }
    void TearDown() override { plugin.reset(); }

    TempConfig config;  // constructed before the module reads its preferences
    std::unique_ptr<VstPlugin> plugin;
};

}  // namespace kt::test
