// Choosing a preset through the chunk's bank header.
#include "cli/preset_select.h"

#include <gtest/gtest.h>

#include "tests/support/module_fixture.h"

namespace kt {
namespace {

using PresetSelectTest = test::ModuleTest;

TEST_F(PresetSelectTest, FindsPresetsByNumberOrName) {
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

TEST_F(PresetSelectTest, TheCurrentPresetWordFollowsTheHeadersByteOrder) {
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
