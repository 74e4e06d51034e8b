// The eight parallel attack/release envelopes of both channels. Stage k follows
// the linked peak with the attack coefficient while it rises and the release
// coefficient while it falls; in second order a further one-pole per stage
// follows the first. The sixteen stages are independent, so they run as four
// vectors of four (two SSE2 registers each on a baseline processor, one AVX
// register each in the loop's AVX2 build), with the same rounding as scalar code.
#pragma once

#include <cstring>

#include "engine/interpolators.h"

namespace kt {

class EnvelopeBank {
  public:
    static constexpr int kStages = 8;

    void clear() {
        for (int i = 0; i < 4; ++i) stage1_[i] = stage2_[i] = Vec{0.0, 0.0, 0.0, 0.0};
    }

    // Advances every stage with the linked peaks eL, eR and returns per channel
    // the largest of 1.0 and its eight output stages. attack and release hold
    // the eight coefficients of stage 0..7.
    [[gnu::always_inline]] StereoValue process(double eL, double eR, const double* attack,
                                               const double* release, bool secondOrder) {
        Vec att[2], rel[2];
        std::memcpy(att, attack, sizeof att);
        std::memcpy(rel, release, sizeof rel);
        Vec largest[2] = {{1.0, 1.0, 1.0, 1.0}, {1.0, 1.0, 1.0, 1.0}};
        for (int i = 0; i < 4; ++i) {
            const int half = i & 1;  // stages 0..3 or 4..7
            const double e = i < 2 ? eL : eR;
            const Vec ev = {e, e, e, e};
            Vec y = stage1_[i];
            y = y + (ev >= y ? att[half] : rel[half]) * (ev - y);
            stage1_[i] = y;
            Vec z = y;
            if (secondOrder) {
                z = stage2_[i];
                z = z + (z < y ? att[half] : rel[half]) * (y - z);
            }
            stage2_[i] = z;
            largest[i >> 1] = largest[i >> 1] > z ? largest[i >> 1] : z;
        }
        double most[2];
        for (int c = 0; c < 2; ++c) {
            const Vec& v = largest[c];
            const double a = v[0] > v[1] ? v[0] : v[1];
            const double b = v[2] > v[3] ? v[2] : v[3];
            most[c] = a > b ? a : b;
        }
        return {most[0], most[1]};
    }

    // Stage k of the left (channel 0) or right (1) output envelopes.
    double stage2(int channel, int k) const { return stage2_[2 * channel + k / 4][k % 4]; }

  private:
    typedef double Vec __attribute__((vector_size(32)));

    // [0], [1]: left stages 0..3, 4..7; [2], [3]: right.
    Vec stage1_[4] = {};
    Vec stage2_[4] = {};
};

}  // namespace kt
