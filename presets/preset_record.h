// One preset of the bank: a name of at most 23 characters and the 26
// parameter values. Values may be written from the host's automation thread
// while the user-interface thread reads the bank, so each is an atomic word.
#pragma once

#include <atomic>
#include <cstdint>

#include "presets/preset_image.h"

namespace kt {

struct PresetRecord {
    char name[kPresetNameSize] = {};
    std::atomic<std::uint32_t> values[kPresetParams] = {};  // IEEE bit patterns

    float value(int index) const;
    void setValue(int index, float v);
    // Cuts the text to 23 characters and zero-fills the rest of the field.
    void setName(const char* text);
    void copyFrom(const PresetRecord& other);
};

}  // namespace kt
