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
    std::memset(name, 0, sizeof(name));
    if (text) std::strncpy(name, text, kPresetNameSize - 1);
}

void PresetRecord::copyFrom(const PresetRecord& other) {
    if (&other == this) return;
    std::memcpy(name, other.name, sizeof(name));
    for (int i = 0; i < kPresetParams; ++i)
        values[i].store(other.values[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
}

}  // namespace kt
