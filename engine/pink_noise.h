// The calibration signal: two Voss-style pink-noise generators (eight held
// random rows each, one row renewed per sample, chosen by the trailing zeros of
// a shared counter) plus a fresh white value per sample. Draws its random words
// from the engine's dither generator.
#pragma once

#include <cstdint>

#include "engine/dither_generator.h"

namespace kt {

class PinkNoise {
  public:
    void clear() {
        counter_ = 0;
        sumL_ = sumR_ = 0.0;
        for (int k = 0; k < 8; ++k) rowsL_[k] = rowsR_[k] = 0.0;
    }

    // The row renewed at a counter value: its trailing zeros among bits 0..6, or 7.
    static int rowFor(std::uint32_t counter) {
        const std::uint32_t low = counter & 0x7Fu;
        return low == 0 ? 7 : __builtin_ctz(low);
    }

    // One sample of the left generator alone (unscaled: sum of nine values in -1..1).
    double nextLeft(DitherGenerator& dither) {
        const int k = rowFor(counter_);
        renew(rowsL_, sumL_, k, dither.nextBipolar());
        ++counter_;
        return sumL_ + dither.nextBipolar();
    }

    // One sample of each generator, independent of each other.
    void nextPair(DitherGenerator& dither, double& l, double& r) {
        const int k = rowFor(counter_);
        renew(rowsL_, sumL_, k, dither.nextBipolar());
        renew(rowsR_, sumR_, k, dither.nextBipolar());
        const double whiteL = dither.nextBipolar();
        const double whiteR = dither.nextBipolar();
        ++counter_;
        l = sumL_ + whiteL;
        r = sumR_ + whiteR;
    }

    std::uint32_t counter() const { return counter_; }

  private:
    static void renew(double* rows, double& sum, int k, double value) {
        sum = sum - rows[k] + value;
        rows[k] = value;
    }

    std::uint32_t counter_ = 0;
    double rowsL_[8] = {};
    double rowsR_[8] = {};
    double sumL_ = 0.0;
    double sumR_ = 0.0;
};

}  // namespace kt
