// True-peak interpolation for the detector and the oversampled output meters.
//
// StereoHistory keeps the last 64 frames of a stereo signal interleaved
// (L, R, L, R, ...) and mirrored, so the 64-frame window is always one
// contiguous run, oldest frame first. The interpolators read that window and
// return, per channel, the largest magnitude among the values they place
// between the two centre samples (s_31 and s_32, s_0 being the newest):
//   2x: the half-way value, sum over k of c_k (s_k + s_63-k);
//   4x: the values 31.25, 31.5 and 31.75 samples back, three 64-tap filters.
// The kernels use AVX2/FMA when the processor has them and SSE2 otherwise; the
// choice is made once per process. Summation order differs from a plain dot
// product, so results agree with it to rounding only.
#pragma once

#include <emmintrin.h>

#include <array>

namespace kt {

struct StereoValue {
    double l;
    double r;
};

class StereoHistory {
  public:
    static constexpr int kFrames = 64;

    void clear() {
        for (double& v : buffer_) v = 0.0;
    }
    void resetPosition() { position_ = 0; }

    // One 16-byte store per copy, so the interpolators' 16-byte load of the
    // newest frame is forwarded from it instead of waiting for the cache.
    void push(double l, double r) {
        const __m128d frame = _mm_set_pd(r, l);
        _mm_store_pd(buffer_ + 2 * position_, frame);
        _mm_store_pd(buffer_ + 2 * (position_ + kFrames), frame);
        position_ = (position_ + 1) & (kFrames - 1);
    }

    // 128 doubles: frame i (0 oldest, 63 newest) at [2i] (left) and [2i + 1].
    const double* window() const { return buffer_ + 2 * position_; }
    // s_31, the frame 31 samples before the newest.
    StereoValue centre() const {
        const double* w = window();
        return {w[2 * 32], w[2 * 32 + 1]};
    }

  private:
    alignas(64) double buffer_[4 * kFrames] = {};
    int position_ = 0;
};

// Largest |interpolated value| per channel of a window from StereoHistory.
StereoValue halfbandPeak(const double* window);
StereoValue quarterPeak(const double* window);

// The 4x peaks of consecutive windows of one channel, for a block at a time:
// out[k] is, bit for bit, the AVX2 kernel's quarterPeak of the window x[k ..
// k + 63] (oldest first) for that channel, k = 0 .. n - 1. Works in groups of
// eight windows, so x must hold n + 70 values and out n + 7. Only where
// interpolatorsUseAvx2().
void quarterPeaksAvx2(const double* x, int n, double* out);

// Plain scalar dot products, for reference and for tests.
StereoValue halfbandValueReference(const double* window);
std::array<StereoValue, 3> quarterValuesReference(const double* window);

// Whether the AVX2/FMA code paths (these kernels and the limiter loop's
// AVX2 build) are in use. Chosen once per process from the processor.
bool interpolatorsUseAvx2();
// Tests only, before any processing starts: use the baseline SSE2 paths (true)
// or the processor's best (false).
void forceBaselineKernels(bool baseline);

}  // namespace kt
