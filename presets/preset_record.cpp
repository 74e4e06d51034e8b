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

void PresetRecord::toBytes(unsigned char out[kPresetRecordBytes]) const {
    std::memcpy(out, name, sizeof(name));
    for (int i = 0; i < kPresetParams; ++i) {
        const std::uint32_t bits = values[i].load(std::memory_order_relaxed);
        unsigned char* p = out + kPresetNameSize + 4 * i;
        p[0] = static_cast<unsigned char>(bits >> 24);
        p[1] = static_cast<unsigned char>(bits >> 16);
        p[2] = static_cast<unsigned char>(bits >> 8);
        p[3] = static_cast<unsigned char>(bits);
    }
}

void PresetRecord::fromBytes(const unsigned char in[kPresetRecordBytes]) {
    std::memcpy(name, in, sizeof(name));
    name[kPresetNameSize - 1] = 0;
    for (int i = 0; i < kPresetParams; ++i) {
        const unsigned char* p = in + kPresetNameSize + 4 * i;
        values[i].store((std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                            (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]},
                        std::memory_order_relaxed);
    }
}

}  // namespace kt
