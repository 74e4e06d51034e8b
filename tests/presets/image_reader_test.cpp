// Preset images: what the writers produce, and bad values, short, long and garbage data.
#include <limits>

#include "tests/presets/preset_test_support.h"

using namespace kt;
using namespace kt::test;

namespace {

// The image one of the codec's writers makes.
std::vector<unsigned char> written(PresetImageCodec& codec,
                                   int (PresetImageCodec::*write)(char**)) {
    char* image = nullptr;
    const int length = (codec.*write)(&image);
    std::vector<unsigned char> bytes(image, image + length);
    delete[] image;
    return bytes;
}

float ramp(int i) {
    return static_cast<float>(i) / 40.0f;
}

class ImageReaderTest : public PresetStoreTest {};

TEST_F(ImageReaderTest, PresetImageHeaderAndRecords) {
    fx().setPresetNo(6);
    const auto bytes = written(codec(), &PresetImageCodec::presetToBuffer);
    ASSERT_EQ(bytes.size(), 1041u);
    const std::vector<unsigned char> head(bytes.begin(), bytes.begin() + 41);
    const std::vector<unsigned char> expected = {
        'K', 'v', 't',  'r',  0x22, 1, 5, 1, 0, 0, 0, 0, 26, 0, 0, 0, 27, 0, 0, 0, 0,
        0,   0,   0x03, 0xE8, 0,    0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0};
    EXPECT_EQ(head, expected);
    // The name record carries preset 6's name, the value records 0..25 in order.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[41 + 12])), "Loudness 2");
    for (int i = 0; i < 26; ++i) EXPECT_EQ(bytes[41 + 168 + 32 * i + 15], i);
    const auto bank = written(codec(), &PresetImageCodec::bankToBuffer);
    ASSERT_EQ(bank.size(), 27041u);
    EXPECT_EQ(bank[4], 0x38);
    EXPECT_EQ(bank[20], 6);  // the current preset
}

TEST_F(ImageReaderTest, ValueOutsideTheRangeLeavesThePresetExactlyAsItWas) {
    fx().setPresetNo(3);
    for (float bad : {1.5f, -0.25f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        const BankSnapshot before = snapshot(fx());
        const auto bytes =
            presetImage(false, "Bad", 26, [&](int i) { return i == 3 ? bad : 0.5f; });
        EXPECT_FALSE(codec().loadPresetImage(bytes.data(), static_cast<long>(bytes.size()), false));
        EXPECT_EQ(snapshot(fx()), before) << bad;
        EXPECT_EQ(fx().getPresetNo(), 3);
    }
}

TEST_F(ImageReaderTest, MissingValuesComeFromTheTemplate) {
    fx().setPresetNo(20);
    const auto bytes = presetImage(false, "Few", 5, ramp);
    ASSERT_TRUE(codec().loadPresetImage(bytes.data(), static_cast<long>(bytes.size()), false));
    EXPECT_EQ(current().value(4), ramp(4));
    EXPECT_EQ(current().value(5), fx().presetTemplate().value(5));
    EXPECT_EQ(current().value(25), fx().presetTemplate().value(25));
}

TEST_F(ImageReaderTest, ShortLongAndGarbagePresetData) {
    const auto good = presetImage(false, "Good", 26, ramp);
    const BankSnapshot before = snapshot(fx());
    // Shorter than the header, or just the identifier: refused.
    for (long length : {0L, 4L, 5L, 40L})
        EXPECT_FALSE(codec().loadPresetImage(good.data(), length, false)) << length;
    EXPECT_EQ(snapshot(fx()), before);

    // Cut in the middle of a value record: the whole records before it count.
    ASSERT_TRUE(codec().loadPresetImage(good.data(), 41 + 168 + 32 * 10 + 20, false));
    EXPECT_EQ(current().value(9), ramp(9));
    EXPECT_EQ(current().value(10), fx().presetTemplate().value(10));

    // Trailing bytes beyond the header's body length are not read.
    auto longer = good;
    longer.insert(longer.end(), 500, 0xEE);
    EXPECT_TRUE(codec().loadPresetImage(longer.data(), static_cast<long>(longer.size()), false));
    EXPECT_EQ(currentName(), "Good");

    // Negative body length or record count: refused.
    auto negative = good;
    negative[21] = 0x80;
    EXPECT_FALSE(
        codec().loadPresetImage(negative.data(), static_cast<long>(negative.size()), false));
    negative = good;
    negative[13] = 0xFF;
    EXPECT_FALSE(
        codec().loadPresetImage(negative.data(), static_cast<long>(negative.size()), false));

    // Unknown kinds are not read.
    auto midi = good;
    midi[4] = 0x0C;
    EXPECT_FALSE(codec().loadPresetImage(midi.data(), static_cast<long>(midi.size()), false));
    EXPECT_FALSE(codec().loadBankImage(good.data(), static_cast<long>(good.size()), false));
}

TEST_F(ImageReaderTest, RecordsOfOtherTypesAndIndicesAreSkipped) {
    ImageWriter w(false);
    w.header(kKindPreset, 6, 0, 15 + 168 + 64 + 20 + 32);
    w.word(7).word(3).word(0).byte(1).byte(2).byte(3);  // unknown type, odd length
    w.nameRecord(0, "Skips");
    w.valueRecord(0, 26, 2.0f).valueRecord(0, -1, 2.0f);  // no such parameter
    w.word(1).word(8).word(0).word(2).word(0);            // value record too short to hold a value
    w.valueRecord(0, 2, 0.125f);
    ASSERT_TRUE(codec().loadPresetImage(w.bytes.data(), static_cast<long>(w.bytes.size()), false));
    EXPECT_EQ(currentName(), "Skips");
    EXPECT_EQ(current().value(2), 0.125f);
}

TEST_F(ImageReaderTest, ReadersTakeCraftedBuffersDirectly) {
    newpresetheader header{};
    header.numRecords = 1000000;
    const BankSnapshot before = snapshot(fx());
    // No body at all, or a body of a few bytes: nothing but the (re)applied preset.
    const char tiny[5] = {0, 0, 0, 1, 0};
    EXPECT_TRUE(codec().bufferToBank(tiny, 5, &header, false));
    EXPECT_EQ(snapshot(fx()), before);
    EXPECT_TRUE(codec().bufferToBank(nullptr, 0, &header, false));
    header.numRecords = -1;
    EXPECT_FALSE(codec().bufferToBank(tiny, 5, &header, false));
    EXPECT_FALSE(codec().bufferToPreset(tiny, 5, &header, false));
    EXPECT_EQ(snapshot(fx()), before);
    EXPECT_FALSE(codec().bufferToPresetOld(tiny, 5, false, 1));
    EXPECT_FALSE(codec().bufferToBankOld(tiny, 5, false, 27, 1));
    EXPECT_EQ(snapshot(fx()), before);
}

TEST_F(ImageReaderTest, MidiImageHasNoNameAndOneRecordPerParameter) {
    const auto image = written(codec(), &PresetImageCodec::midiToBuffer);
    ASSERT_EQ(image.size(), 41u + 26 * 32);
    EXPECT_EQ(image[4], 0x0C);
    EXPECT_EQ(image[41 + 3], 2);  // first record is of type 2
    const bool swapped = detectByteOrder(image.data(), kUniqueId) == ByteOrder::swapped;
    const newpresetheader header = readImageHeader(image.data(), swapped);
    const std::int32_t records = header.numRecords;  // a packed field: copied, not bound
    EXPECT_EQ(records, 26);
    EXPECT_TRUE(codec().bufferToMidi(reinterpret_cast<const char*>(image.data()) + 41,
                                     static_cast<int>(image.size()) - 41, &header, swapped));
}

}  // namespace
