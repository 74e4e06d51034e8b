// Parameter names, labels, displays, properties and the version mapping.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "tests/support/module_fixture.h"

using namespace vst;
using kt::test::ModuleTest;

namespace {

// Names hosts show (the longest is given whole) and the labels of the units.
TEST_F(ModuleTest, NamesAndLabels) {
    EXPECT_EQ(plugin->parameterName(7), "DetectorOrder");
    EXPECT_EQ(plugin->parameterName(25), "resvd-vid");
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(plugin->parameterLabel(i), i <= 1 ? "dB" : i == 3 ? "ms" : "") << i;
}

std::string rawText(kt::VstPlugin& p, int32 opcode, int index) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    buffer[63] = 0;
    p.dispatch(opcode, index, 0, buffer);
    return buffer;
}

TEST_F(ModuleTest, TextsNotDefinedLeaveTheHostBufferUntouched) {
    const std::string untouched(63, '#');
    EXPECT_EQ(rawText(*plugin, effGetParamLabel, 2), untouched);
    for (int i : {22, 25, 26, -1, 1000})
        EXPECT_EQ(rawText(*plugin, effGetParamDisplay, i), untouched) << i;
    EXPECT_EQ(rawText(*plugin, effGetParamName, 26), untouched);
}

TEST_F(ModuleTest, DisplayEdgeCases) {
    struct Case {
        int index;
        float value;
        const char* display;
    };
    const Case cases[] = {
        {13, 1.0f, "off"},   {13, 0.999f, "-0.01dB"}, {13, 0.0f, "-12.00dB"},  {20, 0.0f, ""},
        {20, 0.7f, "1L"},    {3, 0.0f, "1.0"},        {3, 1.0f, "1000.0"},     {0, 0.0f, "-12.00"},
        {1, 1.0f, "+24.00"}, {1, 0.0f, "-24.00"},     {12, 0.6f, "l+r uncor"},
    };
    for (const Case& c : cases) {
        plugin->setParameter(c.index, c.value);
        EXPECT_EQ(plugin->parameterDisplay(c.index), c.display) << c.index << " " << c.value;
        EXPECT_EQ(plugin->getParameter(c.index), c.value);
    }
}

// Displays of values outside 0..1 (kept as given) show the first or last step.
TEST_F(ModuleTest, StepsAreClampedFromBothSides) {
    for (float v : {-100.0f, std::numeric_limits<float>::quiet_NaN()}) {
        plugin->setParameter(11, v);
        EXPECT_EQ(plugin->parameterDisplay(11), "off");
        plugin->setParameter(20, v);
        EXPECT_EQ(plugin->parameterDisplay(20), "");
    }
    for (float v : {1.5f, std::numeric_limits<float>::infinity()}) {
        plugin->setParameter(11, v);
        EXPECT_EQ(plugin->parameterDisplay(11), "type F");
    }
    plugin->setParameter(10, -0.5f);
    EXPECT_EQ(plugin->parameterDisplay(10), "8");
    EXPECT_EQ(plugin->getParameter(10), -0.5f);
}

TEST_F(ModuleTest, ANonFiniteValueKeepsThePreviousOne) {
    plugin->setParameter(1, 0.75f);  // Drive +12 dB
    plugin->setParameter(22, 0.3f);  // stored only
    const std::vector<std::uint8_t> bank = plugin->getChunk();
    for (float v : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
        plugin->setParameter(1, v);
        plugin->setParameter(22, v);
    }
    EXPECT_EQ(plugin->getParameter(1), 0.75f);
    EXPECT_EQ(plugin->getParameter(22), 0.3f);
    EXPECT_EQ(plugin->getChunk(), bank);  // the preset kept its values
    EXPECT_EQ(plugin->parameterDisplay(1), "+12.00");
}

TEST_F(ModuleTest, StoredOnlyAndVersionIndices) {
    plugin->setParameter(22, 0.7f);
    EXPECT_EQ(plugin->getParameter(22), 0.7f);
    plugin->setParameter(25, 0.9f);
    EXPECT_EQ(plugin->getParameter(25), 0.025f);
    EXPECT_EQ(plugin->getParameter(26), -1.0f);
    EXPECT_EQ(plugin->getParameter(-3), -1.0f);
    plugin->setParameter(26, 0.5f);  // accepted, changes nothing
    plugin->setParameter(-1, 0.5f);
}

// Older versions of the values remap the stepped parameters as they apply.
TEST_F(ModuleTest, OldVersionsRemapTheirSteps) {
    plugin->setParameter(10, 0.3f);  // version 0, step 1 of 4: 8 bits with requantizing on
    plugin->setParameter(9, 0.0f);   // version 0, scale step 0: peak metering
    plugin->setParameter(25, 0.005f);
    EXPECT_EQ(plugin->parameterDisplay(16), "on");
    EXPECT_EQ(plugin->parameterDisplay(10), "8");
    EXPECT_EQ(plugin->parameterDisplay(21), "post meter");
    EXPECT_EQ(plugin->parameterDisplay(18), "peak");
    EXPECT_EQ(plugin->parameterDisplay(9), "K-14");

    plugin->setParameter(25, 0.025f);
    plugin->setParameter(10, 0.5f);
    plugin->setParameter(25, 0.025f);  // the current version changes nothing
    EXPECT_EQ(plugin->getParameter(10), 0.5f);
}

// Indices without properties leave the host's record untouched; texts fit their fields.
TEST_F(ModuleTest, ParameterProperties) {
    VstParameterProperties p;
    std::memset(&p, 0x5a, sizeof p);
    for (int i : {23, 26, -1}) EXPECT_EQ(plugin->dispatch(effGetParameterProperties, i, 0, &p), 0);
    EXPECT_EQ(static_cast<unsigned char>(p.label[0]), 0x5a);
    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 7, 0, &p), 1);
    EXPECT_STREQ(p.label, "DetectorOrder");
    EXPECT_STREQ(p.shortLabel, "Detecto");
    EXPECT_EQ(p.flags, kVstParameterIsSwitch | kVstParameterUsesFloatStep);
}

TEST_F(ModuleTest, AutomationReachesTheHostOnlyFromTheEditorPath) {
    plugin->host().clearCalls();
    plugin->setParameter(0, 0.5f);
    EXPECT_EQ(plugin->host().count(audioMasterAutomate), 0u);
}

// The six display preferences the editor stores are applied at construction.
TEST(ModuleDefaults, StoredDisplayPreferencesApplyToNewInstances) {
    kt::test::TempConfig config;
    std::filesystem::create_directories(config.configDir());
    auto put = [&](const char* key, const char* text) {
        std::ofstream(config.configDir() + "/" + key) << text;
    };
    put("Metering_Type", "1\n");
    put("Metering_Scale", "2");
    put("Metering_Zoom", "1");
    put("Metering_AttShow", "12");  // out of range: ignored
    put("Metering_Recon", "on");    // malformed: ignored
    auto plugin = kt::test::loadModule();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->parameterDisplay(18), "k-system");
    EXPECT_EQ(plugin->parameterDisplay(9), "K-20");
    EXPECT_EQ(plugin->parameterDisplay(19), "12dB");
    EXPECT_EQ(plugin->parameterDisplay(20), "12L");
    EXPECT_EQ(plugin->parameterDisplay(14), "off");
}

// Every preset name fits the host's field; there are no others.
TEST_F(ModuleTest, NewInstanceIsOnPresetDefault) {
    EXPECT_EQ(plugin->programName(), "Default");
    for (int i = 0; i < 27; ++i) {
        const auto name = plugin->programNameIndexed(i);
        ASSERT_TRUE(name);
        EXPECT_FALSE(name->empty());
        EXPECT_LE(name->size(), 23u);
    }
    EXPECT_EQ(plugin->programNameIndexed(26), "DVD Master 2 [recon]");
    EXPECT_EQ(plugin->programNameIndexed(27), std::nullopt);
    EXPECT_EQ(plugin->programNameIndexed(-1), std::nullopt);
}

TEST_F(ModuleTest, RenamingCutsAtTwentyThreeCharacters) {
    char name[] = "A name of thirty characters!!!";
    ASSERT_EQ(std::strlen(name), 30u);
    plugin->dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(plugin->programName(), std::string(name, 23));
    EXPECT_EQ(plugin->programNameIndexed(0), std::string(name, 23));
    // The host's buffer gets at most 24 bytes.
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    plugin->dispatch(effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(buffer[23], 0);
    EXPECT_EQ(buffer[24], '#');
}

}  // namespace
