// The meter accumulators the loop feeds on the audio thread and the editor
// reads with getMeters on its own thread, without a lock. The reader only sets
// the reset request; the loop applies it at its next sample (peaks to 0, gain
// minima to 1.0; the running mean squares are kept). Every field is a relaxed
// atomic: a reading may be a sample stale and need not be one snapshot.
#pragma once

#include <algorithm>
#include <cmath>

#include "engine/relaxed.h"

namespace kt {

class MeterFeed {
public:
    // Everything to rest, as after a reset of the engine.
    void clear() {
        for (int c = 0; c < 2; ++c) {
            inPeak_[c].set(0.0);
            outPeak_[c].set(0.0);
            inMeanSquare_[c].set(0.0);
            outMeanSquare_[c].set(0.0);
            gainMin_[c].set(1.0);
        }
        resetPending_.set(0);
    }

    // Applies a pending reset request; called first for every sample.
    void takeReset() {
        if (resetPending_.get() == 0) return;
        resetPending_.set(0);
        for (int c = 0; c < 2; ++c) {
            inPeak_[c].set(0.0);
            outPeak_[c].set(0.0);
            gainMin_[c].set(1.0);
        }
    }

    void input(int c, double v, double rmsCoef) {
        raise(inPeak_[c], v);
        meanSquare(inMeanSquare_[c], v, rmsCoef);
    }
    void gain(int c, double g) { gainMin_[c].set(std::min(gainMin_[c].get(), g)); }
    void outputPeak(int c, double v) { raise(outPeak_[c], v); }
    void outputMeanSquare(int c, double v, double rmsCoef) {
        meanSquare(outMeanSquare_[c], v, rmsCoef);
    }

    // Calibration: the output meters take the generated value and the input
    // meters copy them.
    void calibrationValue(int c, double v, double rmsCoef) {
        outputPeak(c, v);
        outputMeanSquare(c, std::fabs(v), rmsCoef);
        inPeak_[c].set(outPeak_[c].get());
        inMeanSquare_[c].set(outMeanSquare_[c].get());
    }
    void silenceChannel(int c) {
        inPeak_[c].set(0.0);
        outPeak_[c].set(0.0);
        inMeanSquare_[c].set(0.0);
        outMeanSquare_[c].set(0.0);
    }

    void resetGainMin() {
        gainMin_[0].set(1.0);
        gainMin_[1].set(1.0);
    }

    // Peaks L/R in and out, RMS L/R in and out (sqrt(2 ms), so a sine reads its
    // amplitude), gain minima L/R; then requests a reset.
    void read(float out[10]) {
        out[0] = static_cast<float>(inPeak_[0].get());
        out[1] = static_cast<float>(inPeak_[1].get());
        out[2] = static_cast<float>(outPeak_[0].get());
        out[3] = static_cast<float>(outPeak_[1].get());
        out[4] = static_cast<float>(std::sqrt(2.0 * inMeanSquare_[0].get()));
        out[5] = static_cast<float>(std::sqrt(2.0 * inMeanSquare_[1].get()));
        out[6] = static_cast<float>(std::sqrt(2.0 * outMeanSquare_[0].get()));
        out[7] = static_cast<float>(std::sqrt(2.0 * outMeanSquare_[1].get()));
        out[8] = static_cast<float>(gainMin_[0].get());
        out[9] = static_cast<float>(gainMin_[1].get());
        resetPending_.set(1);
    }

    bool resetPending() const { return resetPending_.get() != 0; }

private:
    // Peaks compare magnitudes rounded to single precision.
    static void raise(Relaxed<double>& peak, double v) {
        const double m = std::fabs(v);
        const double a = m < 3.4e38 ? static_cast<double>(static_cast<float>(m)) : m;
        if (a > peak.get()) peak.set(a);
    }
    static void meanSquare(Relaxed<double>& ms, double v, double coef) {
        const double m = ms.get();
        ms.set(m + (v * v - m) * coef);
    }

    Relaxed<double> inPeak_[2];
    Relaxed<double> outPeak_[2];
    Relaxed<double> inMeanSquare_[2];
    Relaxed<double> outMeanSquare_[2];
    Relaxed<double> gainMin_[2];
    Relaxed<int> resetPending_;
};

}  // namespace kt
