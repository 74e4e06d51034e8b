// The eight parallel attack/release envelopes of one channel. Stage k follows
// the linked peak with the attack coefficient while it rises and the release
// coefficient while it falls; in second order a further one-pole per stage
// follows the first. The eight stages are independent, so they run two at a
// time in SSE2 registers (baseline x86-64) with the same rounding as scalar code.
#pragma once

#include <emmintrin.h>

namespace kt {

class EnvelopeBank {
  public:
    static constexpr int kStages = 8;

    void clear() {
        for (int k = 0; k < kStages; ++k) {
            stage1_[k] = 0.0;
            stage2_[k] = 0.0;
        }
    }

    // Advances every stage with the linked peak e and returns the largest of
    // 1.0 and the eight output stages.
    double process(double e, const double* attack, const double* release, bool secondOrder) {
        const __m128d ev = _mm_set1_pd(e);
        __m128d largest = _mm_set1_pd(1.0);
        for (int k = 0; k < kStages; k += 2) {
            const __m128d att = _mm_loadu_pd(attack + k);
            const __m128d rel = _mm_loadu_pd(release + k);
            __m128d y = _mm_load_pd(stage1_ + k);
            const __m128d rising = _mm_cmpge_pd(ev, y);
            const __m128d c = _mm_or_pd(_mm_and_pd(rising, att), _mm_andnot_pd(rising, rel));
            y = _mm_add_pd(y, _mm_mul_pd(c, _mm_sub_pd(ev, y)));
            _mm_store_pd(stage1_ + k, y);
            __m128d z = y;
            if (secondOrder) {
                z = _mm_load_pd(stage2_ + k);
                const __m128d below = _mm_cmplt_pd(z, y);
                const __m128d c2 = _mm_or_pd(_mm_and_pd(below, att), _mm_andnot_pd(below, rel));
                z = _mm_add_pd(z, _mm_mul_pd(c2, _mm_sub_pd(y, z)));
            }
            _mm_store_pd(stage2_ + k, z);
            largest = _mm_max_pd(largest, z);
        }
        return _mm_cvtsd_f64(_mm_max_sd(largest, _mm_unpackhi_pd(largest, largest)));
    }

    const double* stage1() const { return stage1_; }
    const double* stage2() const { return stage2_; }

  private:
    alignas(16) double stage1_[kStages] = {};
    alignas(16) double stage2_[kStages] = {};
};

}  // namespace kt
