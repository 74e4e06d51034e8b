// The 27 presets every new bank starts from.
#pragma once

#include <array>
#include <string_view>

#include "presets/preset_record.h"

namespace kt {

struct FactoryPreset {
    std::string_view name;
    std::array<float, 22> values;  // parameters 0..21; 22..24 are 0, 25 the current version
};

extern const std::array<FactoryPreset, kNumPresets> kFactoryPresets;

// The full 26 values of a factory preset.
float factoryValue(int preset, int index);

}  // namespace kt
