// The two old file layouts: identifier, kind byte, raw names and values.
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

// Too few values per block (the template fills) or too many (skipped), either byte order.
TEST_F(OldLayoutTest, OldBankReadsTwentySevenBlocks) {
    for (int values : {20, 30}) {
        for (bool little : {false, true}) {
            fx().initPresets();
            fx().setPresetNo(12);
            const auto bytes = oldBank(little, values);
            ASSERT_TRUE(
                codec().loadBankImage(bytes.data(), static_cast<long>(bytes.size()), false));
            EXPECT_EQ(fx().getPresetNo(), 0);
            for (int p = 0; p < 27; ++p) {
                EXPECT_EQ(fx().preset(p).nameText(), "Old bank " + std::to_string(p));
                EXPECT_EQ(fx().preset(p).value(19), (p + 19) / 64.0f);
                EXPECT_EQ(fx().preset(p).value(25),
                          values == 20 ? fx().presetTemplate().value(25) : (p + 25) / 64.0f);
            }
        }
    }
}

// A value out of range or blocks too short: the whole bank stays as it was.
TEST_F(OldLayoutTest, RefusedOldBanksChangeNothing) {
    fx().setPresetNo(8);
    const BankSnapshot before = snapshot(fx());
    auto bytes = oldBank(false, 20);
    bytes[5 + 26 * 104 + 24 + 4 * 19] = 0x40;  // the last value of the last block: 2.0 and more
    EXPECT_FALSE(codec().loadBankImage(bytes.data(), static_cast<long>(bytes.size()), false));
    bytes = oldBank(false, 1);
    bytes.resize(5 + 27 * 27);
    EXPECT_FALSE(codec().loadBankImage(bytes.data(), static_cast<long>(bytes.size()), false));
    EXPECT_EQ(snapshot(fx()), before);
    EXPECT_EQ(fx().getPresetNo(), 8);
    // The block reader reads only the blocks that lie whole inside the data.
    const auto two = oldBank(false, 26);
    EXPECT_TRUE(codec().bufferToBankOld(reinterpret_cast<const char*>(two.data()) + 5, 2 * 128,
                                        false, 27, 26));
    EXPECT_EQ(fx().preset(1).nameText(), "Old bank 1");
    EXPECT_EQ(fx().preset(2).nameText(), before.names[2]);
}

}  // namespace
