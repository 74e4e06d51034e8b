// The sliding-maximum tree of sliding_max_tree.h for both channels at once.
// Left and right share length and position, so their slots sit side by side and
// one SSE2 register carries a slot of each. The walk from leaf to root is made
// for every level with masks instead of branches (the data-dependent stop of a
// branching walk mispredicts often); a level past the stopping point writes the
// value the slot already holds. Slot values are bit-identical to the branching
// walk's.
#pragma once

#include <emmintrin.h>

#include <algorithm>

#include "engine/interpolators.h"

namespace kt {

template <int Capacity>
class StereoMaxTree {
  public:
    static constexpr double kSentinel = 1e10;

    StereoMaxTree() { setLength(Capacity); }

    void setLength(int length) {
        length_ = std::clamp(length, 2, Capacity);
        levels_ = 0;
        while ((2 << levels_) <= length_) ++levels_;  // log2(length)
    }
    int length() const { return length_; }

    void clear() {
        std::fill(std::begin(slots_), std::end(slots_), 0.0);
        slots_[0] = slots_[1] = kSentinel;
    }
    void resetPosition() { position_ = 0; }

    // Stores the newest values and returns the maximum of each window.
    StereoValue insert(double l, double r) {
        int i = length_ + position_;
        const __m128d v = _mm_set_pd(r, l);
        const __m128d old = _mm_load_pd(slots_ + 2 * i);
        _mm_store_pd(slots_ + 2 * i, v);
        // Rising leaf: ancestors take v while the sibling is below v. Otherwise
        // ancestors are recomputed from their children while the sibling is below old.
        const __m128d rising = _mm_cmpgt_pd(v, old);
        const __m128d bound = _mm_or_pd(_mm_and_pd(rising, v), _mm_andnot_pd(rising, old));
        const __m128d signBit = _mm_set1_pd(-0.0);
        __m128d walking = _mm_castsi128_pd(_mm_set1_epi32(-1));
        for (int level = 0; level < levels_; ++level) {
            // Most walks end within a level or two; once both have ended, the
            // remaining levels would only rewrite what is there.
            if (level >= 2 && _mm_movemask_pd(walking) == 0) break;
            const __m128d sibling = _mm_load_pd(slots_ + 2 * (i ^ 1));
            walking = _mm_and_pd(walking, _mm_cmplt_pd(sibling, bound));
            i >>= 1;
            const __m128d left = _mm_load_pd(slots_ + 4 * i);
            const __m128d right = _mm_load_pd(slots_ + 4 * i + 2);
            const __m128d diff = _mm_sub_pd(left, right);
            const __m128d larger = _mm_add_pd(
                _mm_mul_pd(_mm_add_pd(_mm_andnot_pd(signBit, diff), diff), _mm_set1_pd(0.5)),
                right);
            const __m128d fresh = _mm_or_pd(_mm_and_pd(rising, v), _mm_andnot_pd(rising, larger));
            const __m128d current = _mm_load_pd(slots_ + 2 * i);
            _mm_store_pd(slots_ + 2 * i,
                         _mm_or_pd(_mm_and_pd(walking, fresh), _mm_andnot_pd(walking, current)));
        }
        position_ = (position_ + 1) & (length_ - 1);
        return {slots_[2], slots_[3]};
    }

  private:
    alignas(16) double slots_[4 * Capacity] = {kSentinel, kSentinel};
    int length_ = Capacity;
    int levels_ = 0;
    int position_ = 0;
};

}  // namespace kt
