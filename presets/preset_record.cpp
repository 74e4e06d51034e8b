#include "presets/preset_record.h"

#include <bit>
#include <cstring>

namespace kt {

float PresetRecord::value(int index) const {
    return std::bit_cast<float>(values[index].load(std::memory_order_relaxed));
}

void PresetRecord::setValue(int index, float v) {
    values[index].store(std::bit_cast<std::uint32_t>(v), std::memory_order_relaxed);
}

void PresetRecord::setName(const char* text) {
    char field[kPresetNameSize] = {};
    if (text) std::strncpy(field, text, kPresetNameSize - 1);
    for (int w = 0; w < kNameWords; ++w) {
        std::uint64_t word;
        std::memcpy(&word, field + 8 * w, 8);
        nameWords[w].store(word, std::memory_order_relaxed);
    }
}

void PresetRecord::copyName(char out[kPresetNameSize]) const {
    for (int w = 0; w < kNameWords; ++w) {
        const std::uint64_t word = nameWords[w].load(std::memory_order_relaxed);
        std::memcpy(out + 8 * w, &word, 8);
    }
    out[kPresetNameSize - 1] = 0;
}

std::string PresetRecord::nameText() const {
    char field[kPresetNameSize];
    copyName(field);
    return field;
}

void PresetRecord::copyFrom(const PresetRecord& other) {
    if (&other == this) return;
    for (int w = 0; w < kNameWords; ++w)
        nameWords[w].store(other.nameWords[w].load(std::memory_order_relaxed),
                           std::memory_order_relaxed);
    for (int i = 0; i < kPresetParams; ++i)
        values[i].store(other.values[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
}

}  // namespace kt
