// The maximum of the last L values of a stereo signal, L fixed at set-up, both
// channels side by side in one SSE2 register. The window is split where the
// ring position wraps: the values of the current pass (positions 0 .. p) are
// covered by a running maximum, the older ones (positions p + 1 .. L - 1 of the
// previous pass) by that pass's suffix maxima, rebuilt once per pass. So every
// value costs two maxima plus one more for the rebuild, with no data-dependent
// branch, and the result is the exact maximum (no rounding).
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <limits>

#include "engine/interpolators.h"

namespace kt {

template <int Capacity>
class StereoSlidingMax {
  public:
    StereoSlidingMax() { setLength(Capacity); }

    // A new window length starts from an empty (all zero) window.
    void setLength(int length) {
        length_ = std::clamp(length, 1, Capacity);
        clear();
        resetPosition();
    }
    int length() const { return length_; }

    // The window holds L zeros (call with resetPosition()).
    void clear() {
        std::fill(std::begin(values_), std::end(values_), 0.0);
        std::fill(std::begin(suffix_), std::end(suffix_), 0.0);
        // Past the end: no older values, so the neutral element.
        suffix_[2 * length_] = suffix_[2 * length_ + 1] = -std::numeric_limits<double>::infinity();
    }
    void resetPosition() { position_ = 0; }

    // Stores the newest values and returns the maximum of each window.
    StereoValue insert(double l, double r) {
        const int p = position_;
        const __m128d v = _mm_set_pd(r, l);
        _mm_store_pd(values_ + 2 * p, v);
        running_ = p == 0 ? v : _mm_max_pd(running_, v);
        alignas(16) double out[2];
        _mm_store_pd(out, _mm_max_pd(running_, _mm_load_pd(suffix_ + 2 * (p + 1))));
        if (++position_ == length_) finishPass();
        return {out[0], out[1]};
    }

  private:
    // The pass just completed becomes the older part of the coming windows.
    void finishPass() {
        __m128d m = _mm_load_pd(suffix_ + 2 * length_);
        for (int j = length_ - 1; j >= 0; --j) {
            m = _mm_max_pd(_mm_load_pd(values_ + 2 * j), m);
            _mm_store_pd(suffix_ + 2 * j, m);
        }
        position_ = 0;
    }

    alignas(16) double values_[2 * Capacity];
    alignas(16) double suffix_[2 * (Capacity + 1)];
    __m128d running_ = _mm_setzero_pd();
    int length_ = Capacity;
    int position_ = 0;
};

}  // namespace kt
