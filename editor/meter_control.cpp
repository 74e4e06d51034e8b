#include "editor/meter_control.h"

#include <cmath>

CMeterControl::CMeterControl(const CRect& size, CControlListener* listener, long tag,
                             CBitmap* background)
    : CControl(size, listener, tag, background) {}

CMouseEventResult CMeterControl::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    valueChanged();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

std::uint32_t CMeterControl::takeElapsed() {
    const std::uint32_t elapsed = ticks - prevTicks;
    prevTicks = ticks;
    return elapsed;
}

int levelPixels(double dB, double offset, double perDb, int most) {
    const double v = perDb * (dB + offset) + 0.5;
    if (!(v >= 0)) return 0;
    if (v >= most) return most;
    return static_cast<int>(v);
}

namespace {
// The hold left after `elapsed`, in ms; 0 or less once it has run out.
std::int64_t holdLeft(std::int32_t holdMs, std::uint32_t elapsed) {
    return static_cast<std::int64_t>(holdMs) - static_cast<std::int64_t>(elapsed);
}
}  // namespace

void holdAndFall(float& held, std::int32_t& holdMs, std::uint32_t elapsed, float peak) {
    const std::int64_t left = holdLeft(holdMs, elapsed);
    holdMs = static_cast<std::int32_t>(left);
    if (left <= 0) {
        held = static_cast<float>(held + static_cast<double>(left) * 8.66 / 1000.0);
        holdMs = 0;
    }
    if (peak > held) {
        held = peak;
        holdMs = 50;
    }
}

void holdAndRelease(float& held, std::int32_t& holdMs, std::uint32_t elapsed, float gain) {
    const std::int64_t left = holdLeft(holdMs, elapsed);
    holdMs = static_cast<std::int32_t>(left);
    if (left <= 0) {
        held = static_cast<float>(held - static_cast<double>(left) * 30.0 / 1000.0);
        holdMs = 0;
    }
    if (gain < held) {
        held = gain;
        holdMs = 50;
    }
}
