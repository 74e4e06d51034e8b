// Parameter names, labels, display texts, properties and the version mapping,
// read through the binary interface.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>
#include <filesystem>
#include <fstream>
#include <limits>

#include "tests/support/module_fixture.h"

using namespace vst;
using kt::test::ModuleTest;

namespace {

constexpr std::array<const char*, 22> kNames = {
    "Output",    "Drive",     "Transient", "Release",  "TransShape", "L/R Link",
    "Oversample", "DetectorOrder", "Power", "Scale",   "Bits",       "NoiseShape",
    "Calibrate", "Leveller",  "MeterOvs",  "AutoOut",  "Quantize",   "Autoblack",
    "MeterType", "AttZoom",   "AttShow",   "PostMeter"};

// Preset 0 "Default" as every new instance shows it.
constexpr std::array<const char*, 22> kDefaultDisplays = {
    "+0.00", "+0.00", "20.0%", "200.0", "A-hard", "100.0%", "off", "I",    "on",   "K-12",  "24",
    "off",   "off",   "off",   "off",   "off",    "off",    "off", "peak", "24dB", "12L", "pre meter"};

TEST_F(ModuleTest, NamesLabelsAndDefaultDisplays) {
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(plugin->parameterName(i), kNames[i]) << i;
        EXPECT_EQ(plugin->parameterDisplay(i), kDefaultDisplays[i]) << kNames[i];
        const std::string expectedLabel = i <= 1 ? "dB" : i == 3 ? "ms" : "";
        EXPECT_EQ(plugin->parameterLabel(i), expectedLabel) << kNames[i];
    }
    EXPECT_EQ(plugin->parameterName(22), "dummy");
    EXPECT_EQ(plugin->parameterName(25), "resvd-vid");
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
    EXPECT_EQ(rawText(*plugin, effGetParamLabel, 25), untouched);
    for (int i : {22, 23, 24, 25, 26, -1, 1000})
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
        {10, 1.0f, "24"},       {11, 0.5f, "type C"},   {13, 1.0f, "off"},
        {13, 0.999f, "-0.01dB"}, {13, 0.0f, "-12.00dB"}, {20, 0.0f, ""},
        {20, 0.7f, "1L"},       {3, 0.0f, "1.0"},       {3, 1.0f, "1000.0"},
        {3, 0.5f, "50.0"},      {0, 0.0f, "-12.00"},    {1, 1.0f, "+24.00"},
        {1, 0.0f, "-24.00"},    {12, 0.3f, "left"},     {12, 0.9f, "right"},
        {12, 0.6f, "l+r uncor"}, {4, 1.0f, "C-soft"},   {21, 1.0f, "post meter"},
        {18, 0.75f, "k-system"}, {19, 0.75f, "12dB"},   {7, 0.9f, "II"},
    };
    for (const Case& c : cases) {
        plugin->setParameter(c.index, c.value);
        EXPECT_EQ(plugin->parameterDisplay(c.index), c.display) << kNames[c.index] << " " << c.value;
        EXPECT_EQ(plugin->getParameter(c.index), c.value);
    }
}

TEST_F(ModuleTest, StepsAreClampedFromBothSides) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float v : {-0.5f, -100.0f, nan}) {
        plugin->setParameter(10, v);
        EXPECT_EQ(plugin->parameterDisplay(10), "8");
        plugin->setParameter(11, v);
        EXPECT_EQ(plugin->parameterDisplay(11), "off");
        plugin->setParameter(20, v);
        EXPECT_EQ(plugin->parameterDisplay(20), "");
    }
    for (float v : {1.5f, 1e9f, std::numeric_limits<float>::infinity()}) {
        plugin->setParameter(11, v);
        EXPECT_EQ(plugin->parameterDisplay(11), "type F");
        plugin->setParameter(12, v);
        EXPECT_EQ(plugin->parameterDisplay(12), "right");
    }
    // Values outside 0..1 are kept as given.
    plugin->setParameter(10, -0.5f);
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

TEST_F(ModuleTest, VersionZeroRemapsOldRequantizerAndMeterSteps) {
    plugin->setParameter(10, 0.3f);  // old step 1 of 4: 8 bits with requantizing on
    plugin->setParameter(9, 0.0f);   // old scale step 0: peak metering
    plugin->setParameter(25, 0.005f);
    EXPECT_EQ(plugin->parameterDisplay(16), "on");
    EXPECT_EQ(plugin->parameterDisplay(10), "8");
    EXPECT_EQ(plugin->parameterDisplay(17), "off");
    EXPECT_EQ(plugin->parameterDisplay(20), "12L");
    EXPECT_EQ(plugin->parameterDisplay(19), "24dB");
    EXPECT_EQ(plugin->parameterDisplay(21), "post meter");
    EXPECT_EQ(plugin->parameterDisplay(18), "peak");
    EXPECT_EQ(plugin->parameterDisplay(9), "K-14");
}

TEST_F(ModuleTest, VersionOneRemapsBitsAndNoiseShape) {
    plugin->setParameter(10, 0.5f);   // old step 1 of 3: 16 bits
    plugin->setParameter(11, 0.8f);   // old setting 3 of 4: type C
    plugin->setParameter(25, 0.015f);
    EXPECT_EQ(plugin->parameterDisplay(10), "16");
    EXPECT_EQ(plugin->parameterDisplay(11), "type C");
    plugin->setParameter(10, 0.5f);
    plugin->setParameter(25, 0.025f);  // the current version changes nothing
    EXPECT_EQ(plugin->getParameter(10), 0.5f);
}

TEST_F(ModuleTest, ParameterProperties) {
    VstParameterProperties p;
    std::memset(&p, 0x5a, sizeof p);
    EXPECT_EQ(plugin->dispatch(effGetParameterProperties, 23, 0, &p), 0);
    EXPECT_EQ(static_cast<unsigned char>(p.label[0]), 0x5a);

    EXPECT_EQ(plugin->dispatch(effGetParameterProperties, 25, 0, &p), 1);
    EXPECT_EQ(p.flags, kVstParameterUsesFloatStep);
    EXPECT_FLOAT_EQ(p.stepFloat, 0.0001f);
    EXPECT_EQ(static_cast<unsigned char>(p.label[0]), 0x5a);

    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 7, 0, &p), 1);
    EXPECT_STREQ(p.label, "DetectorOrder");
    EXPECT_STREQ(p.shortLabel, "Detecto");
    EXPECT_EQ(p.flags, kVstParameterIsSwitch | kVstParameterUsesFloatStep);
    EXPECT_EQ(p.stepFloat, 1.0f);

    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 5, 0, &p), 1);
    EXPECT_STREQ(p.shortLabel, "L/R Lin");
    EXPECT_EQ(p.flags, kVstParameterUsesFloatStep);
    EXPECT_EQ(p.stepFloat, 5.0f);

    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 0, 0, &p), 1);
    EXPECT_FLOAT_EQ(p.stepFloat, 1.0f / 24);
    EXPECT_FLOAT_EQ(p.smallStepFloat, 1.0f / 240);
    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 1, 0, &p), 1);
    EXPECT_FLOAT_EQ(p.smallStepFloat, 0.0010416667f);
    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 12, 0, &p), 1);
    EXPECT_FLOAT_EQ(p.stepFloat, 3.3333333f);
    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 20, 0, &p), 1);
    EXPECT_FLOAT_EQ(p.largeStepFloat, 1.4285715f);
    ASSERT_EQ(plugin->dispatch(effGetParameterProperties, 11, 0, &p), 1);
    EXPECT_FLOAT_EQ(p.stepFloat, 1.0f / 6);
    EXPECT_EQ(plugin->dispatch(effGetParameterProperties, 26, 0, &p), 0);
    EXPECT_EQ(plugin->dispatch(effGetParameterProperties, -1, 0, &p), 0);
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
    put("Metering_AttShow", "12");   // out of range: ignored
    put("Metering_Recon", "on");     // malformed: ignored
    put("Metering_Post", "");        // truncated: ignored
    auto plugin = kt::test::loadModule();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->parameterDisplay(18), "k-system");
    EXPECT_EQ(plugin->parameterDisplay(9), "K-20");
    EXPECT_EQ(plugin->parameterDisplay(19), "12dB");
    EXPECT_EQ(plugin->parameterDisplay(20), "12L");
    EXPECT_EQ(plugin->parameterDisplay(14), "off");
    EXPECT_EQ(plugin->parameterDisplay(21), "pre meter");
}

}  // namespace

namespace {

// Offsets of preset 0's value records inside the chunk: 8-byte chunk header,
// 41-byte bank header, a 168-byte name record, then 32-byte value records
// whose big-endian float sits 24 bytes in.
std::size_t valueOffset(int index) { return 8 + 41 + 168 + 32 * static_cast<std::size_t>(index) + 24; }

void putFloat(std::vector<std::uint8_t>& chunk, int index, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    const std::size_t at = valueOffset(index);
    for (int b = 0; b < 4; ++b) chunk[at + b] = static_cast<std::uint8_t>(bits >> (24 - 8 * b));
}

float getFloat(const std::vector<std::uint8_t>& chunk, int index) {
    const std::size_t at = valueOffset(index);
    std::uint32_t bits = 0;
    for (int b = 0; b < 4; ++b) bits = (bits << 8) | chunk[at + b];
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

TEST_F(ModuleTest, AnOldPresetIsRemappedOnceAndUpgradedByTheFirstEdit) {
    std::vector<std::uint8_t> chunk = plugin->getChunk();
    ASSERT_EQ(chunk.size(), 27049u);
    putFloat(chunk, 11, 0.8f);    // old NoiseShape setting 3 of 4: type C
    putFloat(chunk, 25, 0.015f);  // stored by version 1
    ASSERT_EQ(plugin->setChunk(chunk), 0);
    EXPECT_EQ(plugin->parameterDisplay(11), "type C");
    // Applying it again gives the same state; the record keeps what was stored.
    ASSERT_EQ(plugin->setChunk(plugin->getChunk()), 0);
    EXPECT_EQ(plugin->parameterDisplay(11), "type C");
    EXPECT_FLOAT_EQ(getFloat(plugin->getChunk(), 11), 0.8f);

    // The user picks type F: the record must not remap it on the next load.
    plugin->setParameter(11, 0.93f);
    const std::vector<std::uint8_t> edited = plugin->getChunk();
    EXPECT_FLOAT_EQ(getFloat(edited, 25), 0.025f);
    ASSERT_EQ(plugin->setChunk(edited), 0);
    EXPECT_EQ(plugin->parameterDisplay(11), "type F");
}

TEST_F(ModuleTest, WritingAnOldVersionRemapsTheEngineAndKeepsThePresetConsistent) {
    plugin->setParameter(11, 0.8f);
    plugin->setParameter(25, 0.015f);
    EXPECT_EQ(plugin->parameterDisplay(11), "type C");
    ASSERT_EQ(plugin->setChunk(plugin->getChunk()), 0);  // re-applies the current preset
    EXPECT_EQ(plugin->parameterDisplay(11), "type C");
}

}  // namespace
