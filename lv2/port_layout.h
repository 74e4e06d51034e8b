// The ports of the LV2 plug-in. The engine parameters come first, so a
// port's index is the parameter's index: an editor can hand a parameter
// change to the host as a write to that port. Audio and latency follow.
#pragma once

#include <cstdint>

#include "engine/parameters.h"

namespace kt::lv2 {

enum PortIndex : std::uint32_t {
    kInputLeft = kNumEngineParams,
    kInputRight,
    kOutputLeft,
    kOutputRight,
    kLatencyPort,
    kNumPorts
};
static_assert(kNumPorts == 27);

}  // namespace kt::lv2
