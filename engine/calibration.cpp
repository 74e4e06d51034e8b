// The calibration generator: pink noise at the K-system reference level of the
// chosen scale, in place of the limiter, while Calibrate is not off. The
// limiter state does not advance meanwhile.
#include <algorithm>

#include "engine/limiter_engine.h"
#include "engine/parameters.h"

namespace kt {

template <typename Sample>
void LimiterEngine::calibrate(Sample* outL, Sample* outR, int frames) {
    static constexpr double kLevel[3] = {2.5118864315, 2.0, 1.0};  // K-12, K-14, K-20
    const int mode = steps_[kCalibrate].get();
    const double scale =
        0.1 / 1.4142135 / 1.73205081 * kLevel[std::clamp(steps_[kScale].get(), 0, 2)];
    const double rmsCoef = rmsCoef_;

    for (int i = 0; i < frames; ++i) {
        double l = 0.0, r = 0.0;
        if (mode == 2) {
            pinkNoise_.nextPair(ditherState_, l, r);
            l *= scale;
            r *= scale;
        } else {
            const double v = pinkNoise_.nextLeft(ditherState_) * scale;
            (mode == 3 ? r : l) = v;
        }
        if (outR != nullptr) outR[i] = static_cast<Sample>(r);
        outL[i] = static_cast<Sample>(l);

        meters_.takeRequests();
        if (mode != 3) meters_.calibrationValue(0, l, rmsCoef);
        if (mode != 1) meters_.calibrationValue(1, r, rmsCoef);
        if (mode == 1) meters_.silenceChannel(1);
        if (mode == 3) meters_.silenceChannel(0);
    }
    meters_.publish();  // once per block, as the limiter loop does
}

void LimiterEngine::calibrateReplacing(float* outL, float* outR, int frames) {
    calibrate(outL, outR, frames);
}

void LimiterEngine::calibrateReplacing64(double* outL, double* outR, int frames) {
    calibrate(outL, outR, frames);
}

}  // namespace kt
