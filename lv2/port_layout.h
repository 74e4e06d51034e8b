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

// What the port of parameter index holds for the value v: v itself for a
// continuous parameter, the centre of v's step for a stepped one (the value
// the module's own controls set, so hosts find it among the enumeration).
inline float portValue(int index, float v) {
    const ParamInfo& info = paramInfo(index);
    if (info.kind != ParamKind::Stepped) return v;
    return paramLongToCont(paramContToLong(v, info.steps), info.steps);
}

}  // namespace kt::lv2
