// Staging between the passes of the limiter loop over a stretch of samples.
// The first pass runs the input side of each sample (gains, dry delay, drive,
// leveller, pre-delay) and keeps here what the second pass needs; in between,
// the AVX2 build interpolates the detector's 4x peaks of the whole stretch at
// once, and after the second pass the output meter's. A stretch at a time keeps
// the FMA units busy with many windows instead of waiting on the sums of one.
// Owned by the engine, used only by the loop on the audio thread.
#pragma once

#include "engine/interpolators.h"

namespace kt {

struct LoopStretch {
    static constexpr int kLength = 128;
    // Samples before the stretch that its first windows reach back to.
    static constexpr int kHistory = StereoHistory::kFrames - 1;
    // Room for the interpolators' groups of eight.
    static constexpr int kPad = 8;

    // Pass 1 for pass 2: the delayed dry input, the pre-delayed signal a, the
    // leveller gain, the smoothed output gain and the detection value d.
    alignas(32) double dry[kLength][2] = {};
    alignas(32) double pre[kLength][2] = {};
    double levellerGain[kLength] = {};
    double outputGain[kLength] = {};
    alignas(32) double detection[kLength][2] = {};
    // Whether d of that sample still waits for the stretch's 4x peaks.
    bool detectionPending[kLength] = {};
    // Whether that sample's output goes to the stretch's 4x meter peaks.
    bool meterPending[kLength] = {};

    // Per channel: kHistory earlier samples, then the stretch. detectInput
    // holds the driven, levelled signal x; meterInput the limiter output.
    alignas(32) double detectInput[2][kHistory + kLength + kPad] = {};
    alignas(32) double meterInput[2][kHistory + kLength + kPad] = {};
    // The 4x peaks per channel, one per sample of the stretch.
    alignas(32) double peaks[2][kLength + kPad] = {};

    // The kHistory newest samples of a history, oldest first, into input.
    static void takeHistory(const StereoHistory& history,
                            double (*input)[kHistory + kLength + kPad]) {
        const double* w = history.window();
        for (int i = 0; i < kHistory; ++i) {
            input[0][i] = w[2 * (i + 1)];
            input[1][i] = w[2 * (i + 1) + 1];
        }
    }
};

}  // namespace kt
