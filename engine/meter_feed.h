// The meter accumulators. The loop owns the running values (left and right side
// by side, updated two at a time) and publishes them after every block as
// relaxed atomics, which getMeters reads on the editor's thread without a lock.
// Readers never write the running values: they post requests (restart the
// peak and gain holds; reset the gain minima) that the loop applies at its
// next sample. A reading may be a block stale and need not be one snapshot.
#pragma once

#include <emmintrin.h>

#include <atomic>
#include <cmath>

#include "engine/relaxed.h"

namespace kt {

class MeterFeed {
  public:
    // Everything to rest, as after a reset of the engine. Caller holds the
    // engine lock, so the loop is not running.
    void clear() {
        for (int c = 0; c < 2; ++c) {
            inPeak_[c] = outPeak_[c] = inMeanSquare_[c] = outMeanSquare_[c] = 0.0;
            gainMin_[c] = 1.0;
        }
        requests_.store(0, std::memory_order_relaxed);
        publish();
    }

    // Loop, first for every sample: applies what readers asked for. True if
    // the peak holds started again.
    bool takeRequests() {
        if (requests_.load(std::memory_order_relaxed) == 0) return false;
        const int r = requests_.exchange(0, std::memory_order_relaxed);
        if (r & kRestartHolds) {
            store(inPeak_, _mm_setzero_pd());
            store(outPeak_, _mm_setzero_pd());
        }
        if (r & (kRestartHolds | kResetGain)) store(gainMin_, _mm_set1_pd(1.0));
        return r & kRestartHolds;
    }

    // Loop: the metered input (left, right).
    void input(__m128d v, __m128d rmsCoef) {
        raise(inPeak_, v);
        meanSquare(inMeanSquare_, v, rmsCoef);
    }
    // Loop: the gain applied per channel.
    void gain(__m128d g) { store(gainMin_, _mm_min_pd(load(gainMin_), g)); }
    void outputPeak(__m128d v) { raise(outPeak_, v); }
    void outputMeanSquare(__m128d v, __m128d rmsCoef) { meanSquare(outMeanSquare_, v, rmsCoef); }

    // Calibration: the output meters take the generated values and the input
    // meters copy them; a silent channel reads zero everywhere.
    void calibrationValue(int c, double v, double rmsCoef) {
        const double m = std::fabs(v);
        const double a = std::fabs(static_cast<double>(static_cast<float>(v)));
        if (a > outPeak_[c]) outPeak_[c] = a;
        outMeanSquare_[c] = outMeanSquare_[c] + (m * m - outMeanSquare_[c]) * rmsCoef;
        inPeak_[c] = outPeak_[c];
        inMeanSquare_[c] = outMeanSquare_[c];
    }
    void silenceChannel(int c) {
        inPeak_[c] = outPeak_[c] = inMeanSquare_[c] = outMeanSquare_[c] = 0.0;
    }

    // Loop, after each block: makes the running values visible to readers.
    void publish() {
        for (int c = 0; c < 2; ++c) {
            published_[0 + c].set(inPeak_[c]);
            published_[2 + c].set(outPeak_[c]);
            published_[4 + c].set(inMeanSquare_[c]);
            published_[6 + c].set(outMeanSquare_[c]);
            published_[8 + c].set(gainMin_[c]);
        }
    }

    // Any thread: the gain minima go back to 1.0 (now for readers, at the next
    // sample for the loop).
    void resetGainMin() {
        published_[8].set(1.0);
        published_[9].set(1.0);
        requests_.fetch_or(kResetGain, std::memory_order_relaxed);
    }

    // Any thread: peaks L/R in and out, RMS L/R in and out (sqrt(2 ms), so a
    // sine reads its amplitude), gain minima L/R; then asks the loop to restart
    // the peak and gain holds.
    void read(float out[10]) {
        for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(published_[i].get());
        for (int i = 4; i < 8; ++i)
            out[i] = static_cast<float>(std::sqrt(2.0 * published_[i].get()));
        out[8] = static_cast<float>(published_[8].get());
        out[9] = static_cast<float>(published_[9].get());
        requests_.fetch_or(kRestartHolds, std::memory_order_relaxed);
    }

    bool resetPending() const { return requests_.load(std::memory_order_relaxed) & kRestartHolds; }

  private:
    static constexpr int kRestartHolds = 1;
    static constexpr int kResetGain = 2;

    static __m128d load(const double* p) { return _mm_load_pd(p); }
    static void store(double* p, __m128d v) { _mm_store_pd(p, v); }

    // Peaks compare magnitudes rounded to single precision (beyond the float
    // range the rounding gives infinity, which only a non-finite stream reaches).
    static void raise(double* peak, __m128d v) {
        const __m128d rounded = _mm_cvtps_pd(_mm_cvtpd_ps(v));
        const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), rounded);
        store(peak, _mm_max_pd(load(peak), magnitude));
    }
    static void meanSquare(double* ms, __m128d v, __m128d coef) {
        const __m128d m = load(ms);
        store(ms, _mm_add_pd(m, _mm_mul_pd(_mm_sub_pd(_mm_mul_pd(v, v), m), coef)));
    }

    alignas(16) double inPeak_[2] = {};
    alignas(16) double outPeak_[2] = {};
    alignas(16) double inMeanSquare_[2] = {};
    alignas(16) double outMeanSquare_[2] = {};
    alignas(16) double gainMin_[2] = {1.0, 1.0};
    Relaxed<double> published_[10];
    std::atomic<int> requests_{0};
};

}  // namespace kt
