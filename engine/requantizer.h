// The output word-length reduction: triangular dither of one step peak,
// rounding to 8..24 bits, error feedback through the selected noise-shaping
// table and the automatic black fade for signals at or below 1e-8. Runs inside
// the limiter loop on the audio thread (inlined, so it shares the loop's AVX2
// or baseline build); the table, its order and the ring position come from the
// engine, which may change them between samples.
//
// Each sample's error feeds the next sample, so the time from one error to the
// next bounds the speed: both channels travel together in one register, the
// sum over the older errors is ready before the newest error is, and the AVX2
// build rounds and rescales with single instructions (exact either way).
#pragma once

#include <emmintrin.h>
#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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
    // in code built for AVX2 and FMA.
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
        if (K != activeOrder_) switchOrder(K);
        if (table != cachedTable_ || K != cachedOrder_) cacheTable(table, K);
        int p = position;
        if (p < 0 || p >= K) p = 0;
        double* ring = K == 32 ? ring32_ : ring12_;

        const __m128d dither2 = triangularPair(dither.nextFour<kAvx2>());
        const __m128d feedback =
            K == 32 ? errorFeedback<32>(ring + 2 * (p + 1)) : errorFeedback<12>(ring + 2 * (p + 1));
        p = (p + 1 == K) ? 0 : p + 1;
        position = p;

        // Both channels: v = o - feedback, quantized, and the error q - v
        // stored at the new position.
        const __m128d v = _mm_sub_pd(_mm_set_pd(r, l), feedback);
        const __m128d q = quantize<kAvx2>(v, dither2);
        const __m128d error = _mm_sub_pd(q, v);
        _mm_storeu_pd(ring + 2 * p, error);
        _mm_storeu_pd(ring + 2 * (p + K), error);
        alignas(16) double out[2];
        _mm_store_pd(out, _mm_mul_pd(q, _mm_set1_pd(autoblackGain_)));
        l = out[0];
        r = out[1];
    }

  private:
    typedef double Vec __attribute__((vector_size(32)));

    // The feedback sums (left, right) over the K errors from e (oldest first,
    // frames of (L, R)), weighted by weights_. The errors fall into four
    // chains by age modulo 4, each summed oldest first, and the chains are
    // added as (0 + 2) + (1 + 3). The newest error, stored by the previous
    // sample, ends chain 3: it is read last and on its own, in the size it
    // was stored, so everything else is summed before it arrives.
    template <int K>
    [[gnu::always_inline]] __m128d errorFeedback(const double* e) const {
        Vec acc0 = {0.0, 0.0, 0.0, 0.0}, acc1 = acc0;
        constexpr int last = 2 * K - 8;
        for (int j = 0; j <= last; j += 8) {
            Vec x0, w0;
            std::memcpy(&x0, e + j, sizeof x0);
            std::memcpy(&w0, weights_ + j, sizeof w0);
            acc0 += w0 * x0;
            if (j == last) break;
            Vec x1, w1;
            std::memcpy(&x1, e + j + 4, sizeof x1);
            std::memcpy(&w1, weights_ + j + 4, sizeof w1);
            acc1 += w1 * x1;
        }
        __m128d part[4];  // chains 0, 1 (acc0) and 2, 3 so far (acc1)
        std::memcpy(part, &acc0, sizeof acc0);
        std::memcpy(part + 2, &acc1, sizeof acc1);
        const __m128d chain2 = _mm_add_pd(
            part[2], _mm_mul_pd(_mm_load_pd(weights_ + last + 4), _mm_loadu_pd(e + last + 4)));
        const __m128d chain3 = _mm_add_pd(
            part[3], _mm_mul_pd(_mm_load_pd(weights_ + last + 6), _mm_loadu_pd(e + last + 6)));
        return _mm_add_pd(_mm_add_pd(part[0], chain2), _mm_add_pd(part[1], chain3));
    }

    // Triangular dither (left, right) of one step peak from four words
    // w1..w4: ((2 u1 - 1) + (2 u2 - 1)) / 2 and the same of u3, u4.
    static __m128d triangularPair(__m128i words) {
        // Unsigned to double, exactly: flip the top bit, convert as signed, add 2^31.
        const __m128i flipped = _mm_xor_si128(words, _mm_set1_epi32(INT32_MIN));
        const __m128i w1w3w2w4 = _mm_shuffle_epi32(flipped, _MM_SHUFFLE(3, 1, 2, 0));
        const __m128d offset = _mm_set1_pd(2147483648.0);
        const __m128d scale = _mm_set1_pd(2.3283064365e-10);
        const __m128d u13 = _mm_mul_pd(_mm_add_pd(_mm_cvtepi32_pd(w1w3w2w4), offset), scale);
        const __m128d u24 = _mm_mul_pd(
            _mm_add_pd(_mm_cvtepi32_pd(_mm_unpackhi_epi64(w1w3w2w4, w1w3w2w4)), offset), scale);
        const __m128d one = _mm_set1_pd(1.0), two = _mm_set1_pd(2.0);
        const __m128d a = _mm_sub_pd(_mm_mul_pd(two, u13), one);
        const __m128d b = _mm_sub_pd(_mm_mul_pd(two, u24), one);
        return _mm_mul_pd(_mm_add_pd(a, b), _mm_set1_pd(0.5));
    }

    // Half-up rounding of v * Q plus the dither, kept non-negative by the
    // offset Q: n = trunc(d + (v Q + Q) + 0.5), returned as (n - Q) / Q.
    template <bool kAvx2>
    [[gnu::always_inline]] __m128d quantize(__m128d v, __m128d dither2) const {
        if constexpr (kAvx2) {
            return quantizeAvx2(v, dither2, q_, invQ_);
        } else {
            const __m128d q = _mm_set1_pd(q_);
            const __m128d x =
                _mm_add_pd(_mm_add_pd(dither2, _mm_add_pd(_mm_mul_pd(v, q), q)), _mm_set1_pd(0.5));
            alignas(16) double n[2];
            _mm_store_pd(n, x);
            const __m128d whole = _mm_set_pd(truncate(n[1]), truncate(n[0]));
            return _mm_mul_pd(_mm_sub_pd(whole, q), _mm_set1_pd(invQ_));
        }
    }

    // v Q is exact (Q is a power of two), so v Q + Q rounds once either way;
    // (n - Q) / Q and n / Q - 1 are the same exact value.
    __attribute__((target("avx2,fma"))) static __m128d quantizeAvx2(__m128d v, __m128d dither2,
                                                                    double stepsPerUnit,
                                                                    double stepSize) {
        const __m128d q = _mm_set1_pd(stepsPerUnit);
        const __m128d x = _mm_add_pd(_mm_add_pd(dither2, _mm_fmadd_pd(v, q, q)), _mm_set1_pd(0.5));
        const __m128d whole = _mm_round_pd(x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
        return _mm_fmsub_pd(whole, _mm_set1_pd(stepSize), _mm_set1_pd(1.0));
    }

    // trunc() without a library call: below 2^52 a round trip through a 64-bit
    // integer truncates; beyond it every double is already whole.
    static double truncate(double x) {
        return std::fabs(x) < 4503599627370496.0 ? static_cast<double>(static_cast<long long>(x))
                                                 : x;
    }

    // Hands the slots 0..11 over to the ring of the new order; the other
    // slots of the 32 ring keep what they held.
    void switchOrder(int order);
    void cacheTable(const double* table, int order);

    double q_ = 8388608.0;
    double invQ_ = 1.0 / 8388608.0;
    double autoblackGain_ = 1e-20;
    int activeOrder_ = 0;
    int cachedOrder_ = 0;
    const double* cachedTable_ = nullptr;
    // The error ring of order K, frames of (L, R): slot i at [2i], and again
    // at [2(i + K)], so the K newest errors are one contiguous run. One ring
    // per order, so slots 12..31 survive a time at order 12 untouched; slots
    // 0..11 live in the ring of the order in use.
    alignas(32) double ring32_[4 * 32] = {};
    alignas(32) double ring12_[4 * 12] = {};
    // c_(K-1) .. c_0, each twice: the weights of that run, oldest first.
    alignas(32) double weights_[2 * kMaxOrder] = {};
};

}  // namespace kt
