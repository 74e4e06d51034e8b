// The editor's clock: milliseconds from a steady source, wrapping at 2^32.
#pragma once

#include <chrono>
#include <cstdint>

namespace kt {

inline std::uint32_t getTicks() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// How long the bounded wait of a tracking control pumps events.
constexpr int kIdleEventWaitMs = 4;

}  // namespace kt
