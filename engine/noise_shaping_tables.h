// The error-feedback coefficients of the six noise shapes. A table t with M
// coefficients gives the noise transfer 1 - sum_k t_k z^-(k+1): t_0 weighs the
// most recent error. Shapes 1..3 have 12 coefficients per rate, shapes 4..6 have
// 32, shared by each pair of neighbouring rates.
#pragma once

#include <array>

namespace kt {

inline constexpr int kNoiseShapeCount = 6;  // shapes 1..6 ("type A".."type F")
inline constexpr int kNoiseShapeRateCount = 6;
inline constexpr std::array<int, kNoiseShapeRateCount> kNoiseShapeRates{44100, 48000,  88200,
                                                                        96000, 176400, 192000};
inline constexpr int kNoiseShapeMaxOrder = 32;

using NoiseShapeTable = std::array<double, kNoiseShapeMaxOrder>;

// The coefficients of shape 1..6 at rate slot 0..5, zero beyond the list.
const NoiseShapeTable& noiseShapeCoefficients(int shape, int rateSlot);

// 12 for shapes 0..3, 32 for shapes 4..6.
constexpr int noiseShapeOrder(int shape) {
    return shape >= 4 ? 32 : 12;
}

// The slot of a table rate, or -1 for any other rate.
constexpr int noiseShapeRateSlot(int rateHz) {
    for (int i = 0; i < kNoiseShapeRateCount; ++i)
        if (kNoiseShapeRates[i] == rateHz) return i;
    return -1;
}

}  // namespace kt
