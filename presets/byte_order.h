// Byte order of the preset, bank and chunk data. This program writes every
// multi-byte field big-endian; a reader learns the order of the data it got
// from the identifier word: read in the machine's order, it either equals the
// identifier (native order) or its byte reversal ("swapped": every field must
// be reversed before use).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Reverses the four bytes of the word at p in place.
inline void mySwapBytes(void* p) {
    auto* b = static_cast<unsigned char*>(p);
    unsigned char t = b[0];
    b[0] = b[3];
    b[3] = t;
    t = b[1];
    b[1] = b[2];
    b[2] = t;
}

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
inline float readFloat(const unsigned char* p, bool swapped) {
    return std::bit_cast<float>(readWord(p, swapped));
}

// Writes w most significant byte first.
inline void writeBigEndian(unsigned char* p, std::uint32_t w) {
    p[0] = static_cast<unsigned char>(w >> 24);
    p[1] = static_cast<unsigned char>(w >> 16);
    p[2] = static_cast<unsigned char>(w >> 8);
    p[3] = static_cast<unsigned char>(w);
}

// The big-endian word at p.
inline std::uint32_t readBigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

enum class ByteOrder { native, swapped, rejected };

// Which order the data starting with `firstWord` is in, compared with the
// identifier. The reversed form is tested first.
inline ByteOrder detectByteOrder(const unsigned char* firstWord, std::int32_t uniqueId) {
    const std::uint32_t word = readWord(firstWord, false);
    const auto id = static_cast<std::uint32_t>(uniqueId);
    if (word == reverseWord(id)) return ByteOrder::swapped;
    if (word == id) return ByteOrder::native;
    return ByteOrder::rejected;
}

}  // namespace kt
