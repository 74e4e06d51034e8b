// One preset of the bank: a name of at most 23 characters and the 26
// parameter values. Values may be written from the host's automation thread,
// and a whole bank from its chunk thread, while the user-interface thread
// reads the bank, so the values and the name's bytes are atomic words. A name
// read while another thread writes it may mix the two; the next read is whole.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "presets/preset_image.h"

namespace kt {

struct PresetRecord {
    float value(int index) const;
    void setValue(int index, float v);
    // Cuts the text to 23 characters and zero-fills the rest of the field.
    void setName(const char* text);
    // The 24-byte name field, terminated within it.
    void copyName(char out[kPresetNameSize]) const;
    std::string nameText() const;
    void copyFrom(const PresetRecord& other);

  private:
    static constexpr int kNameWords = kPresetNameSize / 8;
    std::atomic<std::uint64_t> nameWords[kNameWords] = {};
    std::atomic<std::uint32_t> values[kPresetParams] = {};  // IEEE bit patterns
};

}  // namespace kt
