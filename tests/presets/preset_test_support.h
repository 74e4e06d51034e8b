// A preset store in this process, and builders of byte images in either byte order.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/preset_store.h"
#include "presets/preset_files.h"
#include "presets/preset_image.h"

namespace kt::test {

// The values and names of the whole bank, for before/after comparisons.
struct BankSnapshot {
    std::vector<std::string> names;
    std::vector<std::uint32_t> bits;
    bool operator==(const BankSnapshot&) const = default;
};

inline BankSnapshot snapshot(CPresetSystemEffect& fx) {
    BankSnapshot s;
    for (int p = 0; p < kNumPresets; ++p) {
        s.names.push_back(fx.preset(p).nameText());
        for (int i = 0; i < kPresetParams; ++i)
            s.bits.push_back(std::bit_cast<std::uint32_t>(fx.preset(p).value(i)));
    }
    return s;
}

// Writes words big-endian (this program's order) or little-endian.
class ImageWriter {
  public:
    explicit ImageWriter(bool littleEndian) : little(littleEndian) {}
    ImageWriter& word(std::uint32_t w) {
        for (int b = 0; b < 4; ++b) {
            const int shift = little ? 8 * b : 24 - 8 * b;
            bytes.push_back(static_cast<unsigned char>(w >> shift));
        }
        return *this;
    }
    ImageWriter& real(float v) { return word(std::bit_cast<std::uint32_t>(v)); }
    ImageWriter& byte(unsigned char b) {
        bytes.push_back(b);
        return *this;
    }
    ImageWriter& name(const std::string& text, std::size_t field = kPresetNameSize) {
        std::string padded = text;
        padded.resize(field, '\0');
        bytes.insert(bytes.end(), padded.begin(), padded.end());
        return *this;
    }
    ImageWriter& header(unsigned char kind, std::int32_t records, std::int32_t current,
                        std::int32_t bodyLength) {
        word(static_cast<std::uint32_t>(kUniqueId)).byte(kind).word(0x01050100).word(26);
        word(static_cast<std::uint32_t>(records)).word(static_cast<std::uint32_t>(current));
        word(static_cast<std::uint32_t>(bodyLength));
        return word(0).word(0).word(0).word(0);
    }
    ImageWriter& nameRecord(int preset, const std::string& text) {
        word(0).word(156).word(static_cast<std::uint32_t>(preset)).name(text);
        return word(0).name("", 128);
    }
    ImageWriter& valueRecord(int preset, int index, float v) {
        word(1).word(20).word(static_cast<std::uint32_t>(preset));
        return word(static_cast<std::uint32_t>(index)).word(0).word(0).real(v).word(0);
    }

    bool little;
    std::vector<unsigned char> bytes;
};

// A preset image with a name and values 0..count-1 taken from value(i).
template <class ValueOf>
std::vector<unsigned char> presetImage(bool littleEndian, const std::string& name, int count,
                                       ValueOf value) {
    ImageWriter w(littleEndian);
    w.header(kKindPreset, 1 + count, 0, 168 + 32 * count).nameRecord(0, name);
    for (int i = 0; i < count; ++i) w.valueRecord(0, i, value(i));
    return w.bytes;
}

// A preset store built in this process, with its own image code.
class PresetStoreTest : public ::testing::Test {
  protected:
    PresetImageCodec& codec() { return store.storeCodec(); }
    CPresetSystemEffect& fx() { return store; }
    const PresetRecord& current() { return store.preset(store.getPresetNo()); }
    std::string currentName() { return current().nameText(); }

    // Files by path, through the file layer.
    bool saveFile(const std::string& path, bool bank) {
        const auto [dir, name] = split(path);
        return saveImageFile(codec(), name.c_str(), dir.c_str(), bank);
    }
    bool loadBank(const std::string& path) {
        const auto [dir, name] = split(path);
        return loadBankFile(codec(), name.c_str(), dir.c_str(), false);
    }

    PresetStoreEffect store;

  private:
    static std::pair<std::string, std::string> split(const std::string& path) {
        const std::size_t slash = path.rfind('/') + 1;
        return {path.substr(0, slash), path.substr(slash)};
    }
};

}  // namespace kt::test
