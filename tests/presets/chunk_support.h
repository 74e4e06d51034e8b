// Host chunks read and made independently of the module (big-endian, 27 presets).
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/presets/preset_test_support.h"
#include "tests/support/module_fixture.h"

namespace kt::test {

struct BankContents {
    int current = 0;
    std::vector<std::string> names = std::vector<std::string>(27);
    std::vector<std::array<float, 26>> values = std::vector<std::array<float, 26>>(27);
};

inline std::uint32_t bigEndianAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | std::uint32_t{b[at + 3]};
}

// The bank inside a chunk the module wrote (27049 bytes).
inline BankContents parseChunk(const std::vector<std::uint8_t>& chunk) {
    BankContents bank;
    EXPECT_EQ(chunk.size(), 27049u);
    if (chunk.size() != 27049u) return bank;
    bank.current = static_cast<int>(bigEndianAt(chunk, 8 + 17));
    std::size_t at = 49;
    for (int p = 0; p < 27; ++p) {
        const char* name = reinterpret_cast<const char*>(&chunk[at + 12]);
        bank.names[static_cast<std::size_t>(p)] = std::string(name, strnlen(name, 24));
        at += 168;
        for (int i = 0; i < 26; ++i, at += 32) {
            const auto index = bigEndianAt(chunk, at + 12);
            EXPECT_EQ(index, static_cast<std::uint32_t>(i));
            bank.values[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)] =
                std::bit_cast<float>(bigEndianAt(chunk, at + 24));
        }
    }
    return bank;
}

// A chunk of the current format holding `bank`, in either byte order.
inline std::vector<std::uint8_t> makeChunk(const BankContents& bank, bool littleEndian = false) {
    ImageWriter w(littleEndian);
    w.word(0x02000000).word(static_cast<std::uint32_t>(kUniqueId));
    w.header(kKindBank, 27 * 27, bank.current, 27000);
    for (int p = 0; p < 27; ++p) {
        w.nameRecord(p, bank.names[static_cast<std::size_t>(p)]);
        for (int i = 0; i < 26; ++i)
            w.valueRecord(p, i,
                          bank.values[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)]);
    }
    return w.bytes;
}

// A bank unlike the factory one: every value and name differs.
inline BankContents distinctBank(int current) {
    BankContents bank;
    bank.current = current;
    for (int p = 0; p < 27; ++p) {
        bank.names[static_cast<std::size_t>(p)] = "Bank preset " + std::to_string(p);
        for (int i = 0; i < 26; ++i)
            bank.values[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)] =
                static_cast<float>((p * 26 + i) % 97) / 97.0f;
        bank.values[static_cast<std::size_t>(p)][25] = 0.025f;  // the current version
    }
    return bank;
}

}  // namespace kt::test
