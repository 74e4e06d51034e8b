// --set values resolved through the module's displays, and presets chosen by the bank header.
#include "cli/parameter_values.h"

#include <gtest/gtest.h>

#include "cli/preset_select.h"
#include "tests/support/module_fixture.h"

namespace kt {
namespace {

class ParameterValuesTest : public test::ModuleTest {
  protected:
    // Resolves a setting and answers the module's display afterwards.
    std::string displayAfter(const std::string& setting) {
        std::string error;
        std::optional<ParameterSetting> result = resolveSetting(*plugin, setting, &error);
        EXPECT_TRUE(result) << setting << ": " << error;
        if (!result) return "";
        EXPECT_EQ(plugin->parameterDisplay(result->index), result->display);
        EXPECT_FLOAT_EQ(plugin->getParameter(result->index), result->value);
        return result->display;
    }

    // A refused setting: the message, and the parameter left as it was.
    std::string refusal(const std::string& setting, int index) {
        const float before = plugin->getParameter(index);
        std::string error;
        EXPECT_FALSE(resolveSetting(*plugin, setting, &error)) << setting;
        EXPECT_FLOAT_EQ(plugin->getParameter(index), before) << setting;
        return error;
    }
};

// Continuous values with or without their unit, special texts, stepped values
// by their texts, and normalised values passed unchanged.
TEST_F(ParameterValuesTest, ValuesAsTheDisplaysShowThem) {
    EXPECT_EQ(displayAfter("Drive=+6dB"), "+6.00");
    EXPECT_NEAR(plugin->getParameter(1), 0.625f, 1e-4);
    EXPECT_EQ(displayAfter("Drive = +12 dB"), "+12.00");
    EXPECT_EQ(displayAfter("drive=-3"), "-3.00");
    EXPECT_EQ(displayAfter("Release=200ms"), "200.0");
    EXPECT_EQ(displayAfter("Release=1"), "1.0");
    EXPECT_EQ(displayAfter("Transient=30%"), "30.0%");
    EXPECT_EQ(displayAfter("L/R Link=50%"), "50.0%");
    // More digits than the display shows: the value displayed at its precision.
    EXPECT_EQ(displayAfter("Drive=+6.004dB"), "+6.00");
    // The ends of a range are exact.
    displayAfter("L/R Link=100%");
    EXPECT_EQ(plugin->getParameter(5), 1.0f);
    displayAfter("Drive=+24dB");
    EXPECT_EQ(plugin->getParameter(1), 1.0f);
    displayAfter("Release=1ms");
    EXPECT_EQ(plugin->getParameter(3), 0.0f);
    EXPECT_EQ(displayAfter("Leveller=-3dB"), "-3.00dB");
    EXPECT_EQ(displayAfter("Leveller=off"), "off");
    EXPECT_FLOAT_EQ(plugin->getParameter(13), 1.0f);

    EXPECT_EQ(displayAfter("Bits=16"), "16");
    EXPECT_FLOAT_EQ(plugin->getParameter(10), 2.5f / 5.0f);
    EXPECT_EQ(displayAfter("noiseshape=TYPEF"), "type F");
    EXPECT_EQ(displayAfter("PostMeter=post meter"), "post meter");
    EXPECT_EQ(displayAfter("AttShow=1L"), "1L");

    EXPECT_EQ(displayAfter("Drive=v=0.625"), "+6.00");
    EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.625f);
    displayAfter("dummy=v=0.3");
}

TEST_F(ParameterValuesTest, RefusalsSayWhatIsAccepted) {
    std::string error = refusal("Volume=+3dB", 0);
    EXPECT_NE(error.find("unknown parameter"), std::string::npos) << error;
    EXPECT_NE(error.find("DetectorOrder"), std::string::npos) << error;

    error = refusal("Bits=17", 10);
    EXPECT_NE(error.find("\"8\", \"12\", \"16\", \"20\", \"24\""), std::string::npos) << error;

    error = refusal("Drive=+30dB", 1);
    EXPECT_NE(error.find("-24.00 to +24.00"), std::string::npos) << error;

    error = refusal("Drive=6ms", 1);
    EXPECT_NE(error.find("unit"), std::string::npos) << error;
    error = refusal("Drive=loud", 1);
    EXPECT_NE(error.find("accepted"), std::string::npos) << error;

    error = refusal("Drive=v=1.5", 1);
    EXPECT_NE(error.find("0 to 1"), std::string::npos) << error;
    error = refusal("Drive", 1);
    EXPECT_NE(error.find("NAME=VALUE"), std::string::npos) << error;

    // A parameter without displays takes normalised values only.
    error = refusal("resvd-vid=2", 25);
    EXPECT_NE(error.find("v=0..1"), std::string::npos) << error;
}

TEST_F(ParameterValuesTest, ProbingLearnsTheShapeAndRestoresTheValue) {
    plugin->setParameter(4, 0.5f);
    ParameterShape shape = probeParameter(*plugin, 4);
    EXPECT_EQ(shape.kind, ParameterShape::kStepped);
    EXPECT_EQ(shape.stepTexts, (std::vector<std::string>{"A-hard", "B-med", "C-soft"}));
    EXPECT_FLOAT_EQ(plugin->getParameter(4), 0.5f);

    EXPECT_EQ(probeParameter(*plugin, 20).stepTexts.size(), 8u);  // the first text is empty
    EXPECT_EQ(probeParameter(*plugin, 0).kind, ParameterShape::kContinuous);
    EXPECT_EQ(probeParameter(*plugin, 0).label, "dB");
    EXPECT_EQ(probeParameter(*plugin, 23).kind, ParameterShape::kNoDisplay);
}

TEST_F(ParameterValuesTest, FindsPresetsByNumberOrName) {
    std::string error;
    EXPECT_EQ(presetNames(*plugin).size(), 27u);
    EXPECT_EQ(findPreset(*plugin, "3", &error), 3);
    EXPECT_EQ(findPreset(*plugin, "limiter FAST", &error), 3);
    EXPECT_EQ(findPreset(*plugin, "DVD Master 2 [recon]", &error), 26);
    EXPECT_FALSE(findPreset(*plugin, "27", &error));
    EXPECT_NE(error.find("0 to 26"), std::string::npos) << error;
    EXPECT_FALSE(findPreset(*plugin, "Limiter", &error));
    EXPECT_NE(error.find("kavtamor presets"), std::string::npos) << error;
}

TEST_F(ParameterValuesTest, TheCurrentPresetWordFollowsTheHeadersByteOrder) {
    const vst::int32 id = vst::fourCC('K', 'v', 't', 'r');
    std::vector<std::uint8_t> chunk(kChunkHeadBytes + kImageHeaderBytes, 0);
    const std::uint8_t big[] = {'K', 'v', 't', 'r'};
    std::copy(big, big + 4, chunk.begin() + kChunkHeadBytes);
    ASSERT_TRUE(setChunkCurrentPreset(chunk, id, 0x0102));
    const std::size_t word = kChunkHeadBytes + kHeaderCurrentPresetOffset;
    EXPECT_EQ(chunk[word], 0);
    EXPECT_EQ(chunk[word + 2], 1);
    EXPECT_EQ(chunk[word + 3], 2);

    const std::uint8_t little[] = {'r', 't', 'v', 'K'};
    std::copy(little, little + 4, chunk.begin() + kChunkHeadBytes);
    ASSERT_TRUE(setChunkCurrentPreset(chunk, id, 0x0102));
    EXPECT_EQ(chunk[word], 2);
    EXPECT_EQ(chunk[word + 1], 1);

    chunk[kChunkHeadBytes] = 'X';
    EXPECT_FALSE(setChunkCurrentPreset(chunk, id, 1));
    std::vector<std::uint8_t> tooShort(kChunkHeadBytes + kImageHeaderBytes - 1, 0);
    EXPECT_FALSE(setChunkCurrentPreset(tooShort, id, 1));
}

}  // namespace
}  // namespace kt
