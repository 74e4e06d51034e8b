// The output word-length reduction: triangular dither of one step peak,
// rounding to 8..24 bits, error feedback through the selected noise-shaping
// table and the automatic black fade for signals at or below 1e-8. Runs inside
// the limiter loop on the audio thread; the table, its order and the ring
// position come from the engine, which may change them between samples.
#pragma once

#include "engine/dither_generator.h"
#include "engine/noise_shaping_tables.h"

namespace kt {

class Requantizer {
  public:
    static constexpr int kMaxOrder = kNoiseShapeMaxOrder;

    // Word length from the Bits step (0..4: 8, 12, 16, 20, 24 bits; anything
    // else 24). Read once per block.
    void setBits(int bitsStep);
    double stepsPerUnit() const { return q_; }

    void clearErrors();
    // The fade starts 400 dB down after a reset.
    void resetGain() { autoblackGain_ = 1e-20; }
    double autoblackGain() const { return autoblackGain_; }

    // Requantizes one stereo sample in place. table holds order coefficients;
    // position is the slot of the newest error and is advanced.
    void process(double& l, double& r, const double* table, int order, int& position,
                 bool autoblack, double autoblackCoef, DitherGenerator& dither);

  private:
    // Rebuilds the mirror after a change of order, so the window matches a
    // plain ring of the new order over the same slots.
    void mirror(int order);

    double q_ = 8388608.0;
    double invQ_ = 1.0 / 8388608.0;
    double autoblackGain_ = 1e-20;
    int mirroredOrder_ = 0;
    // The error ring of order K, frames of (L, R): slot i at [2i], and again
    // at [2(i + K)], so the K newest errors are one contiguous run.
    alignas(16) double errors_[4 * kMaxOrder] = {};
};

}  // namespace kt
