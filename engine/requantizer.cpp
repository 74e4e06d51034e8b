#include "engine/requantizer.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>

namespace kt {

void Requantizer::setBits(int bitsStep) {
    static constexpr int kBits[5] = {8, 12, 16, 20, 24};
    const int bits = (bitsStep >= 0 && bitsStep < 5) ? kBits[bitsStep] : 24;
    q_ = std::ldexp(1.0, bits - 1);
    invQ_ = std::ldexp(1.0, 1 - bits);
}

void Requantizer::clearErrors() { std::fill(std::begin(errors_), std::end(errors_), 0.0); }

namespace {

// Half-up rounding of v * Q plus the dither, kept non-negative by the offset Q.
inline double quantize(double v, double dither, double q, double invQ) {
    const double n = std::trunc(dither + (v * q + q) + 0.5);
    return (n - q) * invQ;
}

}  // namespace

void Requantizer::process(double& l, double& r, const double* table, int order, int& position,
                          bool autoblack, double autoblackCoef, DitherGenerator& dither) {
    const double peak = std::max(std::fabs(l), std::fabs(r));
    if (peak > 1e-8 || !autoblack)
        autoblackGain_ = 1.0;
    else
        autoblackGain_ = autoblackGain_ - autoblackGain_ * autoblackCoef;
    autoblackGain_ = (autoblackGain_ + 1e-30) - 1e-30;

    const int K = (order == 32) ? 32 : 12;
    int p = position;
    if (p < 0 || p >= K) p = 0;

    // Four independent partial sums over c_k * e[(p - k) mod K].
    __m128d acc[4] = {_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
    for (int k = 0; k < K; k += 4) {
        for (int j = 0; j < 4; ++j) {
            int idx = p - k - j;
            if (idx < 0) idx += K;
            acc[j] = _mm_add_pd(acc[j], _mm_mul_pd(_mm_set1_pd(table[k + j]),
                                                   _mm_load_pd(errors_ + 2 * idx)));
        }
    }
    alignas(16) double feedback[2];
    _mm_store_pd(feedback, _mm_add_pd(_mm_add_pd(acc[0], acc[1]), _mm_add_pd(acc[2], acc[3])));
    p = (p + 1 == K) ? 0 : p + 1;
    position = p;

    const double vL = l - feedback[0];
    const double vR = r - feedback[1];
    const double u1 = DitherGenerator::uniform(dither.next());
    const double u2 = DitherGenerator::uniform(dither.next());
    const double u3 = DitherGenerator::uniform(dither.next());
    const double u4 = DitherGenerator::uniform(dither.next());
    const double dL = ((2.0 * u1 - 1.0) + (2.0 * u2 - 1.0)) * 0.5;
    const double dR = ((2.0 * u3 - 1.0) + (2.0 * u4 - 1.0)) * 0.5;
    const double qL = quantize(vL, dL, q_, invQ_);
    const double qR = quantize(vR, dR, q_, invQ_);
    errors_[2 * p] = qL - vL;
    errors_[2 * p + 1] = qR - vR;
    l = qL * autoblackGain_;
    r = qR * autoblackGain_;
}

}  // namespace kt
