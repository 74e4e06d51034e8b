// The output word-length reduction: triangular dither of one step peak,
// rounding to 8..24 bits, error feedback through the selected noise-shaping
// table and the automatic black fade for signals at or below 1e-8. Runs inside
// the limiter loop on the audio thread (inlined, so it shares the loop's AVX2
// or baseline build); the table, its order and the ring position come from the
// engine, which may change them between samples.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>

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
    // position is the slot of the newest error and is advanced. kAvx2 only
    // in code built for AVX2.
    template <bool kAvx2 = false>
    [[gnu::always_inline]] void process(double& l, double& r, const double* table, int order,
                                        int& position, bool autoblack, double autoblackCoef,
                                        DitherGenerator& dither) {
        const double peak = std::max(std::fabs(l), std::fabs(r));
        if (peak > 1e-8 || !autoblack)
            autoblackGain_ = 1.0;
        else
            autoblackGain_ = autoblackGain_ - autoblackGain_ * autoblackCoef;
        autoblackGain_ = (autoblackGain_ + 1e-30) - 1e-30;

        const int K = (order == 32) ? 32 : 12;
        if (K != mirroredOrder_) mirror(K);
        if (table != cachedTable_ || K != cachedOrder_) cacheTable(table, K);
        int p = position;
        if (p < 0 || p >= K) p = 0;

        // Sum over k of c_k * e[(p - k) mod K]. Frames p + 1 .. p + K of the
        // mirrored ring hold those errors oldest first, and weights_ holds the
        // coefficients in that order, each twice (left, right).
        const double* e = errors_ + 2 * (p + 1);
        Vec acc0 = {0.0, 0.0, 0.0, 0.0}, acc1 = acc0;
        for (int j = 0; j < 2 * K; j += 8) {
            Vec x0, x1, w0, w1;
            std::memcpy(&x0, e + j, sizeof x0);
            std::memcpy(&x1, e + j + 4, sizeof x1);
            std::memcpy(&w0, weights_ + j, sizeof w0);
            std::memcpy(&w1, weights_ + j + 4, sizeof w1);
            acc0 += w0 * x0;
            acc1 += w1 * x1;
        }
        const Vec acc = acc0 + acc1;
        p = (p + 1 == K) ? 0 : p + 1;
        position = p;

        const double vL = l - (acc[0] + acc[2]);
        const double vR = r - (acc[1] + acc[3]);
        std::uint32_t words[4];
        dither.nextFour<kAvx2>(words);
        const double u1 = DitherGenerator::uniform(words[0]);
        const double u2 = DitherGenerator::uniform(words[1]);
        const double u3 = DitherGenerator::uniform(words[2]);
        const double u4 = DitherGenerator::uniform(words[3]);
        const double dL = ((2.0 * u1 - 1.0) + (2.0 * u2 - 1.0)) * 0.5;
        const double dR = ((2.0 * u3 - 1.0) + (2.0 * u4 - 1.0)) * 0.5;
        const double qL = quantize(vL, dL);
        const double qR = quantize(vR, dR);
        errors_[2 * p] = errors_[2 * (p + K)] = qL - vL;
        errors_[2 * p + 1] = errors_[2 * (p + K) + 1] = qR - vR;
        l = qL * autoblackGain_;
        r = qR * autoblackGain_;
    }

  private:
    typedef double Vec __attribute__((vector_size(32)));

    // trunc() without a library call: below 2^52 a round trip through a 64-bit
    // integer truncates; beyond it every double is already whole.
    static double truncate(double x) {
        return std::fabs(x) < 4503599627370496.0 ? static_cast<double>(static_cast<long long>(x))
                                                 : x;
    }
    // Half-up rounding of v * Q plus the dither, kept non-negative by the offset Q.
    double quantize(double v, double dither) const {
        const double n = truncate(dither + (v * q_ + q_) + 0.5);
        return (n - q_) * invQ_;
    }

    // Rebuilds the mirror after a change of order, so the window matches a
    // plain ring of the new order over the same slots.
    void mirror(int order);
    void cacheTable(const double* table, int order);

    double q_ = 8388608.0;
    double invQ_ = 1.0 / 8388608.0;
    double autoblackGain_ = 1e-20;
    int mirroredOrder_ = 0;
    int cachedOrder_ = 0;
    const double* cachedTable_ = nullptr;
    // The error ring of order K, frames of (L, R): slot i at [2i], and again
    // at [2(i + K)], so the K newest errors are one contiguous run.
    alignas(32) double errors_[4 * kMaxOrder] = {};
    // c_(K-1) .. c_0, each twice: the weights of that run, oldest first.
    alignas(32) double weights_[2 * kMaxOrder] = {};
};

}  // namespace kt
