// The byte images of presets and banks: the 41-byte header that starts every
// preset, bank and MIDI-map image, the tagged records of the body, and the
// word helpers shared by the writers and readers.
//
// This program writes every multi-byte field big-endian. A reader learns the
// order of the data it got from the identifier word: read in the machine's
// order, it either equals the identifier (native order) or its byte reversal
// ("swapped": every field must be reversed before use).
#pragma once

#include <cstdint>
#include <cstring>

namespace kt {

// Kind byte, the fifth byte of every image.
constexpr unsigned char kKindOldPreset = 0x21;
constexpr unsigned char kKindPreset = 0x22;
constexpr unsigned char kKindOldBank = 0x37;
constexpr unsigned char kKindBank = 0x38;
constexpr unsigned char kKindMidi = 0x0C;

constexpr std::int32_t kImageFormatVersion = 0x01050100;
constexpr int kImageHeaderBytes = 41;
constexpr int kOldImagePrefixBytes = 5;  // identifier and kind byte before an old layout

// Record types and sizes of the body.
constexpr std::int32_t kRecordName = 0;
constexpr std::int32_t kRecordValue = 1;
constexpr std::int32_t kRecordMidi = 2;
constexpr int kRecordHeadBytes = 12;  // type, payload length, preset number
constexpr int kNamePayloadBytes = 156;
constexpr int kValuePayloadBytes = 20;
constexpr int kValueFieldOffset = 12;  // the value inside a value or MIDI payload

// Chunk markers of the host chunk.
constexpr std::uint32_t kChunkMarkerCurrent = 0x02000000;
constexpr std::uint32_t kChunkMarkerOld = 0x01000000;
constexpr int kChunkHeadBytes = 8;
constexpr int kOldChunkHeadBytes = 32;

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

// Reverses the four bytes of the word at p.
void mySwapBytes(void* p);
// Reverses the nine words after the kind byte; the identifier and kind stay.
void byteSwapHeader(newpresetheader* header);

namespace kt {

inline std::uint32_t reverseWord(std::uint32_t w) {
    return (w >> 24) | ((w >> 8) & 0xFF00u) | ((w << 8) & 0xFF0000u) | (w << 24);
}

// The word at p in the machine's order, reversed when swapped.
inline std::uint32_t readWord(const unsigned char* p, bool swapped) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return swapped ? reverseWord(w) : w;
}
inline std::int32_t readInt(const unsigned char* p, bool swapped) {
    return static_cast<std::int32_t>(readWord(p, swapped));
}
float readFloat(const unsigned char* p, bool swapped);

// Writes w most significant byte first.
inline void writeBigEndian(unsigned char* p, std::uint32_t w) {
    p[0] = static_cast<unsigned char>(w >> 24);
    p[1] = static_cast<unsigned char>(w >> 16);
    p[2] = static_cast<unsigned char>(w >> 8);
    p[3] = static_cast<unsigned char>(w);
}

enum class ByteOrder { native, swapped, rejected };

// Which order the data starting with `firstWord` is in, compared with the
// identifier. The reversed form is tested first.
ByteOrder detectByteOrder(const unsigned char* firstWord, std::int32_t uniqueId);

// A preset value is taken only when it lies in [0, 1]; NaN does not.
inline bool isPresetValue(float v) {
    return v >= 0.0f && v <= 1.0f;
}

// Fills the header of an image in big-endian order.
void writeImageHeader(unsigned char* out, std::int32_t uniqueId, unsigned char kind,
                      std::int32_t numParams, std::int32_t numRecords, std::int32_t currentPreset,
                      std::int32_t bodyLength);
// Reads the header at p (at least 41 bytes) into the machine's order.
newpresetheader readImageHeader(const unsigned char* p, bool swapped);

}  // namespace kt
