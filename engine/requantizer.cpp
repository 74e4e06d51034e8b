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

void Requantizer::clearErrors() {
    std::fill(std::begin(errors_), std::end(errors_), 0.0);
}

void Requantizer::mirror(int order) {
    for (int i = 0; i < 2 * order; ++i) errors_[2 * order + i] = errors_[i];
    mirroredOrder_ = order;
}

namespace {

// trunc() without a library call: below 2^52 a round trip through a 64-bit
// integer truncates; beyond it every double is already whole.
inline double truncate(double x) {
    return std::fabs(x) < 4503599627370496.0 ? static_cast<double>(static_cast<long long>(x)) : x;
}

// Half-up rounding of v * Q plus the dither, kept non-negative by the offset Q.
inline double quantize(double v, double dither, double q, double invQ) {
    const double n = truncate(dither + (v * q + q) + 0.5);
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
    if (K != mirroredOrder_) mirror(K);
    int p = position;
    if (p < 0 || p >= K) p = 0;

    // Sum of c_k * e[(p - k) mod K]: the window errors_[p + 1 .. p + K] holds
    // e[p - K + 1] .. e[p], so c_k pairs with frame p + K - k. Four partial sums.
    const double* e = errors_ + 2 * (p + K);
    const double* c = table;
    __m128d acc0 = _mm_setzero_pd(), acc1 = _mm_setzero_pd();
    __m128d acc2 = _mm_setzero_pd(), acc3 = _mm_setzero_pd();
    for (const double* end = table + K; c != end; c += 4, e -= 8) {
        acc0 = _mm_add_pd(acc0, _mm_mul_pd(_mm_set1_pd(c[0]), _mm_load_pd(e)));
        acc1 = _mm_add_pd(acc1, _mm_mul_pd(_mm_set1_pd(c[1]), _mm_load_pd(e - 2)));
        acc2 = _mm_add_pd(acc2, _mm_mul_pd(_mm_set1_pd(c[2]), _mm_load_pd(e - 4)));
        acc3 = _mm_add_pd(acc3, _mm_mul_pd(_mm_set1_pd(c[3]), _mm_load_pd(e - 6)));
    }
    alignas(16) double feedback[2];
    _mm_store_pd(feedback, _mm_add_pd(_mm_add_pd(acc0, acc1), _mm_add_pd(acc2, acc3)));
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
    const double eL = qL - vL, eR = qR - vR;
    errors_[2 * p] = errors_[2 * (p + K)] = eL;
    errors_[2 * p + 1] = errors_[2 * (p + K) + 1] = eR;
    l = qL * autoblackGain_;
    r = qR * autoblackGain_;
}

}  // namespace kt
