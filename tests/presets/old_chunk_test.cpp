// The old chunk format: eight header words and raw records, in either byte order.
#include "tests/presets/chunk_support.h"

using namespace kt::test;

namespace {

// An old chunk whose record r, value j is (r + 1) / 100 + j / 1000.
std::vector<std::uint8_t> oldChunk(std::uint32_t count, std::uint32_t current, int records,
                                   int values, bool littleEndian) {
    ImageWriter w(littleEndian);
    w.word(0x01000000).word(static_cast<std::uint32_t>(kt::kUniqueId)).word(count).word(current);
    w.word(11).word(12).word(13).word(14);
    for (int r = 0; r < records; ++r) {
        w.name("Old " + std::to_string(r));
        for (int j = 0; j < values; ++j) w.real(static_cast<float>(r + 1) / 100.0f + j / 1000.0f);
    }
    return w.bytes;
}

class OldChunkTest : public ModuleTest {};

TEST_F(OldChunkTest, ThreePresetsOfTwentyTwoValues) {
    for (bool little : {false, true}) {
        auto fresh = loadModule();
        ASSERT_TRUE(fresh);
        const BankContents factory = parseChunk(fresh->getChunk());
        ASSERT_EQ(fresh->setChunk(oldChunk(3, 1, 3, 22, little)), 0) << little;
        const BankContents bank = parseChunk(fresh->getChunk());
        EXPECT_EQ(bank.current, 1);
        EXPECT_EQ(fresh->programName(), "Old 1");
        for (int r = 0; r < 3; ++r) {
            const auto& v = bank.values[static_cast<std::size_t>(r)];
            EXPECT_EQ(bank.names[static_cast<std::size_t>(r)], "Old " + std::to_string(r));
            for (int j = 0; j < 22; ++j)
                EXPECT_EQ(v[static_cast<std::size_t>(j)], (r + 1) / 100.0f + j / 1000.0f);
            // Values the old records lack come from the template (preset "Default").
            for (int j = 22; j < 26; ++j)
                EXPECT_EQ(v[static_cast<std::size_t>(j)],
                          factory.values[0][static_cast<std::size_t>(j)]);
        }
        for (std::size_t p = 3; p < 27; ++p) {
            EXPECT_EQ(bank.names[p], factory.names[p]);
            EXPECT_EQ(bank.values[p], factory.values[p]);
        }
    }
}

TEST_F(OldChunkTest, ExtraRecordsAndValuesAreSkipped) {
    ASSERT_EQ(plugin->setChunk(oldChunk(30, 40, 30, 30, false)), 0);
    const BankContents bank = parseChunk(plugin->getChunk());
    EXPECT_EQ(bank.current, 0);  // 40 is no preset
    EXPECT_EQ(bank.names[26], "Old 26");
    EXPECT_EQ(bank.values[26][25], 0.27f + 0.025f);
}

TEST_F(OldChunkTest, NoRecordsAppliesTheNamedPreset) {
    const auto before = plugin->getChunk();
    ASSERT_EQ(plugin->setChunk(oldChunk(0, 7, 0, 0, false)), 0);
    EXPECT_EQ(plugin->programName(), "Loudness 3");
    auto after = plugin->getChunk();
    after[8 + 20] = 0;  // only the current-preset word differs
    EXPECT_EQ(after, before);
}

TEST_F(OldChunkTest, MalformedOldChunksAreRefused) {
    const auto before = plugin->getChunk();
    const auto whole = oldChunk(3, 0, 3, 22, false);
    auto outOfRange = whole;
    outOfRange[32 + 112 + 24] = 0x3F;  // record 1, value 0 becomes about 1.5
    outOfRange[32 + 112 + 25] = 0xC0;
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> refused = {
        {"shorter than its header", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 31)},
        {"records too small for a name and a value", oldChunk(10, 0, 1, 0, false)},
        {"absurd count", oldChunk(0xFFFFFFFFu, 0, 3, 22, false)},
        {"value outside [0, 1]", outOfRange},
    };
    for (const auto& [what, bytes] : refused) {
        EXPECT_EQ(plugin->setChunk(bytes), -1) << what;
        EXPECT_EQ(plugin->getChunk(), before) << what;
    }
}

}  // namespace
