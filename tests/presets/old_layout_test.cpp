// The two old file layouts: an identifier, a kind byte, then raw names and
// values whose count follows from the data's length.
#include <limits>

#include "tests/presets/preset_test_support.h"

using namespace kt;
using namespace kt::test;

namespace {

std::vector<unsigned char> oldPreset(bool little, const std::string& name, int values) {
    ImageWriter w(little);
    w.word(static_cast<std::uint32_t>(kUniqueId)).byte(kKindOldPreset).name(name);
    for (int j = 0; j < values; ++j) w.real(static_cast<float>(j) / 32.0f);
    return w.bytes;
}

std::vector<unsigned char> oldBank(bool little, int values) {
    ImageWriter w(little);
    w.word(static_cast<std::uint32_t>(kUniqueId)).byte(kKindOldBank);
    for (int p = 0; p < 27; ++p) {
        w.name("Old bank " + std::to_string(p));
        for (int j = 0; j < values; ++j) w.real(static_cast<float>(p + j) / 64.0f);
    }
    return w.bytes;
}

class OldLayoutTest : public PresetStoreTest {};

TEST_F(OldLayoutTest, OldPresetOfTwentyTwoValues) {
    for (bool little : {false, true}) {
        fx().setPresetNo(9);
        const auto bytes = oldPreset(little, "Old one", 22);
        ASSERT_EQ(bytes.size(), 29u + 4u * 22u);
        ASSERT_TRUE(codec().loadPresetImage(bytes.data(), static_cast<long>(bytes.size()), false));
        EXPECT_EQ(fx().getPresetNo(), 9);
        EXPECT_EQ(currentName(), "Old one");
        for (int j = 0; j < 22; ++j) EXPECT_EQ(current().value(j), j / 32.0f);
        for (int j = 22; j < 26; ++j) EXPECT_EQ(current().value(j), fx().presetTemplate().value(j));
    }
}

TEST_F(OldLayoutTest, OldPresetTooShortForANameAndAValueIsRefused) {
    const BankSnapshot before = snapshot(fx());
    for (int length : {5, 28, 29, 32}) {
        auto bytes = oldPreset(false, "Short", 1);
        bytes.resize(static_cast<std::size_t>(length));
        EXPECT_FALSE(codec().loadPresetImage(bytes.data(), length, false)) << length;
    }
    EXPECT_EQ(snapshot(fx()), before);
    // One value is enough.
    const auto one = oldPreset(false, "One", 1);
    EXPECT_TRUE(codec().loadPresetImage(one.data(), static_cast<long>(one.size()), false));
}

TEST_F(OldLayoutTest, OldBankOfTwentyValuesReadsTwentySevenBlocks) {
    for (bool little : {false, true}) {
        fx().initPresets();
        fx().setPresetNo(12);
        const auto bytes = oldBank(little, 20);
        ASSERT_EQ(bytes.size(), 5u + 27u * 104u);
        ASSERT_TRUE(codec().loadBankImage(bytes.data(), static_cast<long>(bytes.size()), false));
        EXPECT_EQ(fx().getPresetNo(), 0);
        for (int p = 0; p < 27; ++p) {
            EXPECT_EQ(std::string(fx().preset(p).name), "Old bank " + std::to_string(p));
            for (int j = 0; j < 20; ++j) EXPECT_EQ(fx().preset(p).value(j), (p + j) / 64.0f);
            EXPECT_EQ(fx().preset(p).value(20), fx().presetTemplate().value(20));
        }
    }
}

TEST_F(OldLayoutTest, OldBankWithMoreValuesThanParametersSkipsTheRest) {
    const auto bytes = oldBank(false, 30);
    ASSERT_TRUE(codec().loadBankImage(bytes.data(), static_cast<long>(bytes.size()), false));
    EXPECT_EQ(std::string(fx().preset(26).name), "Old bank 26");
    EXPECT_EQ(fx().preset(26).value(25), (26 + 25) / 64.0f);
}

TEST_F(OldLayoutTest, OldBankValueOutOfRangeRestoresTheWholeBank) {
    auto bytes = oldBank(false, 20);
    const std::size_t at = 5 + 26 * 104 + 24 + 4 * 19;  // the last value of the last block
    bytes[at] = 0x40;                                   // 2.0 and more
    fx().setPresetNo(8);
    const BankSnapshot before = snapshot(fx());
    EXPECT_FALSE(codec().loadBankImage(bytes.data(), static_cast<long>(bytes.size()), false));
    EXPECT_EQ(snapshot(fx()), before);
    EXPECT_EQ(fx().getPresetNo(), 8);
}

TEST_F(OldLayoutTest, OldBankTooShortIsRefused) {
    const BankSnapshot before = snapshot(fx());
    auto bytes = oldBank(false, 1);
    bytes.resize(5 + 27 * 27);  // each block too short for a name and one value
    EXPECT_FALSE(codec().loadBankImage(bytes.data(), static_cast<long>(bytes.size()), false));
    EXPECT_EQ(snapshot(fx()), before);
    // Block reader given more blocks and values than the data holds reads
    // only the blocks that lie whole inside it.
    const auto two = oldBank(false, 26);
    EXPECT_TRUE(codec().bufferToBankOld(reinterpret_cast<const char*>(two.data()) + 5, 2 * 128,
                                         false, 27, 26));
    EXPECT_EQ(std::string(fx().preset(1).name), "Old bank 1");
    EXPECT_EQ(std::string(fx().preset(2).name), before.names[2]);
}

}  // namespace
