// The formats of preset and bank data: the 41-byte header that starts every
// preset, bank and MIDI-map image, the tagged records of the body, the two
// old layouts and the host chunk's markers. Shared by the module and the
// command-line host; byte order is in byte_order.h.
#pragma once

#include <cstdint>

#include "presets/byte_order.h"

namespace kt {

// The bank: 27 presets of a 24-byte name field and 26 values.
constexpr int kNumPresets = 27;
constexpr int kPresetParams = 26;
constexpr int kPresetNameSize = 24;  // 23 characters and the terminator
// The identifier every image and chunk starts with: "Kvtr".
constexpr std::int32_t kUniqueId = 0x4B767472;

// Kind byte, the fifth byte of every image.
constexpr unsigned char kKindOldPreset = 0x21;
constexpr unsigned char kKindPreset = 0x22;
constexpr unsigned char kKindOldBank = 0x37;
constexpr unsigned char kKindBank = 0x38;
constexpr unsigned char kKindMidi = 0x0C;

constexpr std::int32_t kImageFormatVersion = 0x01050100;
constexpr int kImageHeaderBytes = 41;
// Offsets of header words readers of whole images need.
constexpr int kHeaderCurrentPresetOffset = 17;
constexpr int kHeaderBodyLengthOffset = 21;
constexpr int kOldImagePrefixBytes = 5;  // identifier and kind byte before an old layout

// Record types and sizes of the body.
constexpr std::int32_t kRecordName = 0;
constexpr std::int32_t kRecordValue = 1;
constexpr std::int32_t kRecordMidi = 2;
constexpr int kRecordHeadBytes = 12;  // type, payload length, preset number
constexpr int kNamePayloadBytes = 156;
constexpr int kValuePayloadBytes = 20;
constexpr int kValueFieldOffset = 12;  // the value inside a value or MIDI payload

// Sizes of the images this program writes: a name record and 26 value
// records per preset.
constexpr int kPresetBodyBytes =
    kRecordHeadBytes + kNamePayloadBytes + kPresetParams * (kRecordHeadBytes + kValuePayloadBytes);
constexpr int kPresetImageBytes = kImageHeaderBytes + kPresetBodyBytes;              // 1041
constexpr int kBankImageBytes = kImageHeaderBytes + kNumPresets * kPresetBodyBytes;  // 27041
// Far above any image a writer of these formats makes; a larger file is
// refused rather than read into memory.
constexpr long kMaxImageBytes = 1L << 20;

// The value counts of the old layouts follow from the data's length.
constexpr int oldPresetValueCount(long length) {
    return static_cast<int>((length - kOldImagePrefixBytes - kPresetNameSize) / 4);
}
constexpr int oldBankValueCount(long length) {
    return static_cast<int>(((length - kOldImagePrefixBytes) / kNumPresets - kPresetNameSize) / 4);
}

// Chunk markers of the host chunk: an 8-byte head (marker, identifier) before
// the bank image, or the old format's 32-byte head before raw preset records.
constexpr std::uint32_t kChunkMarkerCurrent = 0x02000000;
constexpr std::uint32_t kChunkMarkerOld = 0x01000000;
constexpr int kChunkHeadBytes = 8;
constexpr int kOldChunkHeadBytes = 32;
constexpr int kChunkBytes = kChunkHeadBytes + kBankImageBytes;  // 27049

// A preset value is taken only when it lies in [0, 1]; NaN does not.
inline bool isPresetValue(float v) {
    return v >= 0.0f && v <= 1.0f;
}

}  // namespace kt

#pragma pack(push, 1)
// Header of a preset, bank or MIDI-map image. Packed: 41 bytes, no padding.
// Its words are in the writer's order until byteSwapHeader turns them around.
struct newpresetheader {
    std::int32_t uniqueID;
    unsigned char kind;
    std::int32_t version;
    std::int32_t numParams;
    std::int32_t numRecords;
    std::int32_t currentPreset;
    std::int32_t bodyLength;
    std::int32_t reserved[4];
};
#pragma pack(pop)
static_assert(sizeof(newpresetheader) == kt::kImageHeaderBytes);

// Reverses the nine words after the kind byte; the identifier and kind stay.
void byteSwapHeader(newpresetheader* header);

namespace kt {

// Fills the header of an image in big-endian order.
void writeImageHeader(unsigned char* out, std::int32_t uniqueId, unsigned char kind,
                      std::int32_t numParams, std::int32_t numRecords, std::int32_t currentPreset,
                      std::int32_t bodyLength);
// Reads the header at p (at least 41 bytes) into the machine's order.
newpresetheader readImageHeader(const unsigned char* p, bool swapped);

}  // namespace kt
