#include "engine/interpolators.h"

#include <immintrin.h>

#include "engine/interpolator_coefs.h"

namespace kt {
namespace {

// Each coefficient twice, so one load weights the left and right sample of a frame.
template <std::size_t N>
struct alignas(64) DuplicatedTable {
    double v[2 * N];
};

template <std::size_t N>
constexpr DuplicatedTable<N> duplicate(const std::array<double, N>& c) {
    DuplicatedTable<N> t{};
    for (std::size_t i = 0; i < N; ++i) {
        t.v[2 * i] = c[i];
        t.v[2 * i + 1] = c[i];
    }
    return t;
}

constexpr DuplicatedTable<32> kHalfband = duplicate(halfbandCoefs());
constexpr DuplicatedTable<64> kQuarter1 = duplicate(quarterCoefs(0));
constexpr DuplicatedTable<64> kQuarter2 = duplicate(quarterCoefs(1));
constexpr DuplicatedTable<64> kQuarter3 = duplicate(quarterCoefs(2));

inline __m128d absolute(__m128d v) {
    return _mm_andnot_pd(_mm_set1_pd(-0.0), v);
}

inline StereoValue toStereo(__m128d v) {
    alignas(16) double out[2];
    _mm_store_pd(out, v);
    return {out[0], out[1]};
}

inline StereoValue magnitude(__m128d v) {
    return toStereo(absolute(v));
}

inline StereoValue largest(__m128d a, __m128d b, __m128d c) {
    return toStereo(_mm_max_pd(absolute(a), _mm_max_pd(absolute(b), absolute(c))));
}

// ---- SSE2: one frame (L, R) per register.

StereoValue halfbandSse2(const double* w) {
    __m128d acc0 = _mm_setzero_pd(), acc1 = _mm_setzero_pd();
    for (int k = 0; k < 32; k += 2) {
        const __m128d p0 = _mm_add_pd(_mm_loadu_pd(w + 2 * k), _mm_loadu_pd(w + 2 * (63 - k)));
        const __m128d p1 =
            _mm_add_pd(_mm_loadu_pd(w + 2 * (k + 1)), _mm_loadu_pd(w + 2 * (62 - k)));
        acc0 = _mm_add_pd(acc0, _mm_mul_pd(_mm_load_pd(kHalfband.v + 2 * k), p0));
        acc1 = _mm_add_pd(acc1, _mm_mul_pd(_mm_load_pd(kHalfband.v + 2 * k + 2), p1));
    }
    return magnitude(_mm_add_pd(acc0, acc1));
}

StereoValue quarterSse2(const double* w) {
    __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd();
    __m128d b0 = _mm_setzero_pd(), b1 = _mm_setzero_pd();
    __m128d c0 = _mm_setzero_pd(), c1 = _mm_setzero_pd();
    for (int i = 0; i < 64; i += 2) {
        const __m128d x0 = _mm_loadu_pd(w + 2 * i);
        const __m128d x1 = _mm_loadu_pd(w + 2 * i + 2);
        a0 = _mm_add_pd(a0, _mm_mul_pd(_mm_load_pd(kQuarter1.v + 2 * i), x0));
        a1 = _mm_add_pd(a1, _mm_mul_pd(_mm_load_pd(kQuarter1.v + 2 * i + 2), x1));
        b0 = _mm_add_pd(b0, _mm_mul_pd(_mm_load_pd(kQuarter2.v + 2 * i), x0));
        b1 = _mm_add_pd(b1, _mm_mul_pd(_mm_load_pd(kQuarter2.v + 2 * i + 2), x1));
        c0 = _mm_add_pd(c0, _mm_mul_pd(_mm_load_pd(kQuarter3.v + 2 * i), x0));
        c1 = _mm_add_pd(c1, _mm_mul_pd(_mm_load_pd(kQuarter3.v + 2 * i + 2), x1));
    }
    return largest(_mm_add_pd(a0, a1), _mm_add_pd(b0, b1), _mm_add_pd(c0, c1));
}

// ---- AVX2/FMA: two frames (L, R, L, R) per register.

// Frames 62 and 63 as one register, built from two 16-byte loads: a 32-byte
// load over the frame pushed a moment ago cannot be forwarded from its store.
__attribute__((target("avx2,fma"))) inline __m256d newestPair(const double* w) {
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(w + 124)),
                                _mm_loadu_pd(w + 126), 1);
}

__attribute__((target("avx2,fma"))) __m128d foldFrames(__m256d v) {
    return _mm_add_pd(_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1));
}

__attribute__((target("avx2,fma"))) StereoValue halfbandAvx2(const double* w) {
    __m256d acc[4] = {_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd(),
                      _mm256_setzero_pd()};
    for (int k = 0; k < 32; k += 8) {
        for (int j = 0; j < 4; ++j) {
            // Frames k+2j, k+2j+1 pair with 63-k-2j, 62-k-2j: load 62-k-2j and
            // 63-k-2j and swap the halves.
            const int near = k + 2 * j;
            const __m256d lo = _mm256_loadu_pd(w + 2 * near);
            const __m256d far = near == 0 ? newestPair(w) : _mm256_loadu_pd(w + 2 * (62 - near));
            const __m256d hi = _mm256_permute2f128_pd(far, far, 1);
            acc[j] = _mm256_fmadd_pd(_mm256_load_pd(kHalfband.v + 2 * near), _mm256_add_pd(lo, hi),
                                     acc[j]);
        }
    }
    const __m256d sum = _mm256_add_pd(_mm256_add_pd(acc[0], acc[1]), _mm256_add_pd(acc[2], acc[3]));
    return magnitude(foldFrames(sum));
}

// Four partial sums per filter keep twelve independent FMA chains in flight.
__attribute__((target("avx2,fma"))) StereoValue quarterAvx2(const double* w) {
    __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, a3 = a0;
    __m256d b0 = a0, b1 = a0, b2 = a0, b3 = a0;
    __m256d c0 = a0, c1 = a0, c2 = a0, c3 = a0;
    for (int i = 0; i < 64; i += 8) {
        const double* x = w + 2 * i;
        const double* q1 = kQuarter1.v + 2 * i;
        const double* q2 = kQuarter2.v + 2 * i;
        const double* q3 = kQuarter3.v + 2 * i;
        const __m256d x0 = _mm256_loadu_pd(x), x1 = _mm256_loadu_pd(x + 4);
        const __m256d x2 = _mm256_loadu_pd(x + 8);
        const __m256d x3 = i == 56 ? newestPair(w) : _mm256_loadu_pd(x + 12);
        a0 = _mm256_fmadd_pd(_mm256_load_pd(q1), x0, a0);
        a1 = _mm256_fmadd_pd(_mm256_load_pd(q1 + 4), x1, a1);
        a2 = _mm256_fmadd_pd(_mm256_load_pd(q1 + 8), x2, a2);
        a3 = _mm256_fmadd_pd(_mm256_load_pd(q1 + 12), x3, a3);
        b0 = _mm256_fmadd_pd(_mm256_load_pd(q2), x0, b0);
        b1 = _mm256_fmadd_pd(_mm256_load_pd(q2 + 4), x1, b1);
        b2 = _mm256_fmadd_pd(_mm256_load_pd(q2 + 8), x2, b2);
        b3 = _mm256_fmadd_pd(_mm256_load_pd(q2 + 12), x3, b3);
        c0 = _mm256_fmadd_pd(_mm256_load_pd(q3), x0, c0);
        c1 = _mm256_fmadd_pd(_mm256_load_pd(q3 + 4), x1, c1);
        c2 = _mm256_fmadd_pd(_mm256_load_pd(q3 + 8), x2, c2);
        c3 = _mm256_fmadd_pd(_mm256_load_pd(q3 + 12), x3, c3);
    }
    const __m256d a = _mm256_add_pd(_mm256_add_pd(a0, a1), _mm256_add_pd(a2, a3));
    const __m256d b = _mm256_add_pd(_mm256_add_pd(b0, b1), _mm256_add_pd(b2, b3));
    const __m256d c = _mm256_add_pd(_mm256_add_pd(c0, c1), _mm256_add_pd(c2, c3));
    return largest(foldFrames(a), foldFrames(b), foldFrames(c));
}

// Eight windows at once, four per register, one lane per window. Each lane
// runs the chains of quarterAvx2: tap t of the window goes to chain t mod 8,
// each chain summed in tap order, the chains added as ((0 + 2) + (4 + 6)) +
// ((1 + 3) + (5 + 7)). Chain by chain, so twelve sums are open at a time.
__attribute__((target("avx2,fma"))) void quarterPeaksAvx2Group(const double* x, double* out) {
    alignas(32) double chains[8][3][2][4];
    const double* tables[3] = {kQuarter1.v, kQuarter2.v, kQuarter3.v};
    for (int r = 0; r < 8; ++r) {
        __m256d sum[3][2];
        for (int f = 0; f < 3; ++f) sum[f][0] = sum[f][1] = _mm256_setzero_pd();
        for (int t = r; t < 64; t += 8) {
            const __m256d early = _mm256_loadu_pd(x + t), late = _mm256_loadu_pd(x + 4 + t);
            for (int f = 0; f < 3; ++f) {
                // The duplicated tables hold tap t at 2t.
                const __m256d q = _mm256_broadcast_sd(tables[f] + 2 * t);
                sum[f][0] = _mm256_fmadd_pd(q, early, sum[f][0]);
                sum[f][1] = _mm256_fmadd_pd(q, late, sum[f][1]);
            }
        }
        for (int f = 0; f < 3; ++f)
            for (int g = 0; g < 2; ++g) _mm256_store_pd(chains[r][f][g], sum[f][g]);
    }
    const __m256d sign = _mm256_set1_pd(-0.0);
    for (int g = 0; g < 2; ++g) {
        __m256d value[3];
        for (int f = 0; f < 3; ++f) {
            const auto c = [&](int r) { return chains[r][f][g]; };
            const __m256d even =
                _mm256_add_pd(_mm256_add_pd(_mm256_load_pd(c(0)), _mm256_load_pd(c(2))),
                              _mm256_add_pd(_mm256_load_pd(c(4)), _mm256_load_pd(c(6))));
            const __m256d odd =
                _mm256_add_pd(_mm256_add_pd(_mm256_load_pd(c(1)), _mm256_load_pd(c(3))),
                              _mm256_add_pd(_mm256_load_pd(c(5)), _mm256_load_pd(c(7))));
            value[f] = _mm256_andnot_pd(sign, _mm256_add_pd(even, odd));
        }
        _mm256_storeu_pd(out + 4 * g, _mm256_max_pd(value[0], _mm256_max_pd(value[1], value[2])));
    }
}

struct Kernels {
    StereoValue (*halfband)(const double*);
    StereoValue (*quarter)(const double*);
    bool avx2;
};

Kernels chooseKernels() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return {halfbandAvx2, quarterAvx2, true};
    return {halfbandSse2, quarterSse2, false};
}

Kernels gKernels = chooseKernels();

}  // namespace

StereoValue halfbandPeak(const double* window) {
    return gKernels.halfband(window);
}
StereoValue quarterPeak(const double* window) {
    return gKernels.quarter(window);
}
void quarterPeaksAvx2(const double* x, int n, double* out) {
    for (int k = 0; k < n; k += 8) quarterPeaksAvx2Group(x + k, out + k);
}

bool interpolatorsUseAvx2() {
    return gKernels.avx2;
}

void forceBaselineKernels(bool baseline) {
    gKernels = baseline ? Kernels{halfbandSse2, quarterSse2, false} : chooseKernels();
}

StereoValue halfbandValueReference(const double* window) {
    constexpr auto c = halfbandCoefs();
    // s_k is frame 63 - k of the window.
    StereoValue m{0.0, 0.0};
    for (int k = 0; k < 32; ++k) {
        m.l += c[k] * (window[2 * (63 - k)] + window[2 * k]);
        m.r += c[k] * (window[2 * (63 - k) + 1] + window[2 * k + 1]);
    }
    return m;
}

std::array<StereoValue, 3> quarterValuesReference(const double* window) {
    std::array<StereoValue, 3> p{};
    for (int j = 0; j < 3; ++j) {
        const auto q = quarterCoefs(j);
        for (int i = 0; i < 64; ++i) {
            p[j].l += q[i] * window[2 * i];
            p[j].r += q[i] * window[2 * i + 1];
        }
    }
    return p;
}

}  // namespace kt
