// The per-sample limiter loop, written once for both sample types. All state
// is double precision; a float block only widens its inputs and rounds its
// outputs, so the two precisions may alternate from block to block.
//
// A block runs in stretches of up to LoopStretch::kLength samples. Where the
// AVX2 build interpolates 4x, a stretch runs in two passes over its samples:
// the input side (steps 1 to 6), then the 4x detector peaks of the whole
// stretch at once, then the rest of each sample, then the output meter's 4x
// peaks. Nothing of the input side depends on the rest, so every sample sees
// the same values as in one pass. Otherwise each sample runs whole in turn.
#include <emmintrin.h>

#include <algorithm>
#include <cmath>

#include "engine/limiter_engine.h"
#include "engine/parameters.h"

namespace kt {

namespace {

// Detection values are floored at 1e-5 so trees and envelopes never hold zero
// or denormal values.
inline double floorDetection(double d) {
    const double a = std::fabs(d) - 1e-5;
    return (std::fabs(a) + a) * 0.5 + 1e-5;
}

// Limits to -1 .. +1 as (|x + 1| - |x - 1|) / 2, which rounds in its own way
// and stays within the range for |x| <= 2. Further out its rounding overshoots
// 1 by a few ulps (x = 3.15 gives 1 + 2^-52), and from 2^53 on it gives 0, 2
// or more: there the result is +-1 outright.
inline double clampUnit(double x) {
    const double clamped = (std::fabs(x + 1.0) - std::fabs(x - 1.0)) * 0.5;
    return std::fabs(x) > 2.0 ? std::copysign(1.0, x) : clamped;
}

// A non-finite input sample enters as 0, so one bad sample cannot poison the
// state for ever.
template <typename Sample>
inline double readSample(Sample s) {
    const double v = static_cast<double>(s);
    return std::isfinite(v) ? v : 0.0;
}

}  // namespace

template <bool kAvx2, typename Sample>
inline void LimiterEngine::runLoop(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR,
                                   int frames) {
    // Once per block: trace weights, input meter gain, output target choice, word length.
    const int attShow = steps_[kAttShow].get();
    const double b0 = (attShow & 1) ? 1.0 : 0.0;
    const double b1 = (attShow & 2) ? 1.0 : 0.0;
    const double b2 = (attShow & 4) ? 1.0 : 0.0;
    const double meterGain = steps_[kPostMeter].get() == 1 ? 1.0 : driveSmoothed_;
    const bool autoOut = steps_[kAutoOut].get() == 1;
    requantizer_.setBits(steps_[kBits].get());
    if (frames <= 0) return;

    const int peakMode = truePeakMode_;
    const double gainSmooth = gainSmoothCoef_;
    const double levellerCoef = levellerCoef_;
    const __m128d rmsCoefs = _mm_set1_pd(rmsCoef_);
    const double autoblackCoef = autoblackCoef_;
    double driveSmoothed = driveSmoothed_;
    double outputSmoothed = outputSmoothed_;
    double levellerEnvelope = levellerEnvelope_;
    // A local copy keeps the generator's registers out of memory within the block.
    DitherGenerator dither = ditherState_;
    // The envelope coefficients, read again only after setParameter has
    // changed them (it counts its changes): eight of each per sample is a
    // sizeable part of the loop otherwise.
    alignas(16) double attack[8];
    alignas(16) double release[8];
    unsigned seenCoefVersion = envelopeCoefVersion_.load(std::memory_order_acquire) - 1;

    LoopStretch& st = stretch_;
    int begin = 0, length = 0;
    bool stretchPeaks = false, detectionPending = false, meterPending = false;
    int meterStart = 0;

    // Steps 1 to 6 of sample k of the stretch.
    const auto inputSide = [&](int k) __attribute__((always_inline)) {
        // 1. Gain smoothing (30 Hz), kept out of the denormal range.
        const double driveGain = driveGain_.get();
        const double target = autoOut ? 1.0 / driveGain : outputGain_.get();
        driveSmoothed = ((driveGain - driveSmoothed) * gainSmooth + driveSmoothed + 1e-30) - 1e-30;
        outputSmoothed = ((target - outputSmoothed) * gainSmooth + outputSmoothed + 1e-30) - 1e-30;
        st.outputGain[k] = outputSmoothed;

        // 2. Dry delay, for bypass and input metering.
        const double inputL = readSample(inL[begin + k]);
        const double inputR = readSample(inR[begin + k]);
        double dryL = inputL, dryR = inputR;
        dryDelay_.exchange(dryL, dryR);
        st.dry[k][0] = dryL;
        st.dry[k][1] = dryR;

        // 3. Drive; 4. leveller (its envelope runs even while it is off).
        double xL = inputL * driveSmoothed;
        double xR = inputR * driveSmoothed;
        const double p = std::max(std::max(std::fabs(xL), std::fabs(xR)), 1e-5);
        levellerEnvelope = levellerEnvelope + (p - levellerEnvelope) * levellerCoef;
        const double levellerTarget = levellerTarget_.get();
        const double gLev = (levellerEnvelope <= levellerTarget || values_[kLeveller].get() == 1.0f)
                                ? 1.0
                                : levellerTarget / levellerEnvelope;
        st.levellerGain[k] = gLev;
        xL *= gLev;
        xR *= gLev;

        // 5. Pre-delay of 31 samples; 6. detection, between samples when asked.
        double aL = xL, aR = xR;
        preDelay_.exchange(aL, aR);
        st.pre[k][0] = aL;
        st.pre[k][1] = aR;
        detectRing_.push(xL, xR);
        if (stretchPeaks) {
            st.detectInput[0][LoopStretch::kHistory + k] = xL;
            st.detectInput[1][LoopStretch::kHistory + k] = xR;
        }
        double dL = aL, dR = aR;
        st.detectionPending[k] = false;
        if (peakMode != 0 && steps_[kOversample].get() == 1) {
            const StereoValue centre = detectRing_.centre();
            st.detection[k][0] = centre.l;
            st.detection[k][1] = centre.r;
            if (stretchPeaks) {
                st.detectionPending[k] = detectionPending = true;
                return;
            }
            const StereoValue between = peakMode == 1 ? halfbandPeak(detectRing_.window())
                                                      : quarterPeak(detectRing_.window());
            dL = std::max(std::fabs(centre.l), between.l) * 1.001;
            dR = std::max(std::fabs(centre.r), between.r) * 1.001;
        }
        st.detection[k][0] = floorDetection(dL);
        st.detection[k][1] = floorDetection(dR);
    };

    // Steps 7 to 17 of sample k of the stretch.
    const auto outputSide = [&](int k) __attribute__((always_inline)) {
        const double dL = st.detection[k][0], dR = st.detection[k][1];
        const double aL = st.pre[k][0], aR = st.pre[k][1];
        const double dryL = st.dry[k][0], dryR = st.dry[k][1];
        const double gLev = st.levellerGain[k];
        const double smoothedOutput = st.outputGain[k];

        // 7. Look-ahead delay: b is what the gain multiplies.
        double bL = aL, bR = aR;
        lookaheadDelay_.exchange(bL, bR);

        // 8. Long window; 9. stereo link; 10. envelopes.
        const StereoValue longMax = peakTree_.insert(dL, dR);
        const double maxL = longMax.l, maxR = longMax.r;
        const double link = linkAmount_.get();
        const double linked = std::max(maxL, maxR);
        const double eL = (1.0 - link) * maxL + link * linked;
        const double eR = (1.0 - link) * maxR + link * linked;
        const unsigned coefVersion = envelopeCoefVersion_.load(std::memory_order_acquire);
        if (coefVersion != seenCoefVersion) {
            seenCoefVersion = coefVersion;
            for (int j = 0; j < 8; ++j) {
                attack[j] = transientCoefs_[j].get();
                release[j] = releaseCoefs_[j].get();
            }
        }
        const bool secondOrder = steps_[kDetectorOrder].get() == 1;
        const StereoValue env = envelopes_.process(eL, eR, attack, release, secondOrder);
        const double envL = env.l, envR = env.r;

        // 11. Short window on the unlinked values; 12. smoothing; 13. alignment.
        const StereoValue shortMax = smoothTree_.insert(dL, dR);
        double tL, tR;
        convolver_.push(shortMax.l, shortMax.r, tL, tR);
        alignDelay_.exchange(tL, tR);

        // 14. Gain computer, both channels at once (the same operations, the same rounding).
        double oL, oR, grL, grR;
        if (powerOn_.get() == 0.0) {
            oL = dryL;
            oR = dryR;
            grL = grR = 1.0;
        } else {
            const double T = transientAmount_.get();
            const __m128d one = _mm_set1_pd(1.0);
            const __m128d transient = _mm_set1_pd(T);
            const __m128d rest = _mm_set1_pd(1.0 - T);
            const __m128d env = _mm_set_pd(envR, envL);
            const __m128d t = _mm_set_pd(tR, tL);
            const __m128d m = _mm_max_pd(env, t);
            const __m128d over = _mm_cmpgt_pd(t, one);
            const __m128d gt =
                _mm_or_pd(_mm_and_pd(over, _mm_div_pd(one, t)), _mm_andnot_pd(over, one));
            const __m128d g = _mm_add_pd(_mm_div_pd(rest, m), _mm_mul_pd(transient, gt));
            const __m128d sFactor = _mm_add_pd(_mm_div_pd(rest, env), transient);
            alignas(16) double out[2];
            _mm_store_pd(
                out, _mm_mul_pd(_mm_mul_pd(_mm_set_pd(bR, bL), g), _mm_set1_pd(smoothedOutput)));
            oL = out[0];
            oR = out[1];
            const __m128d w0 = _mm_set1_pd(b0), w1 = _mm_set1_pd(b1), w2 = _mm_set1_pd(b2);
            const __m128d f0 = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(w0, sFactor), one), w0);
            const __m128d f1 =
                _mm_sub_pd(_mm_add_pd(_mm_div_pd(_mm_mul_pd(w1, g), sFactor), one), w1);
            const __m128d f2 = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(w2, _mm_set1_pd(gLev)), one), w2);
            _mm_store_pd(out, _mm_mul_pd(_mm_mul_pd(f0, f1), f2));
            grL = out[0];
            grR = out[1];
        }

        // 15. Meter feed; the output meters see the signal before requantizing.
        // A restart of the holds drops the stretch's 4x meter peaks before it.
        if (meters_.takeRequests()) meterStart = k;
        meters_.input(_mm_mul_pd(_mm_set_pd(dryR, dryL), _mm_set1_pd(meterGain)), rmsCoefs);
        meters_.gain(_mm_set_pd(grR, grL));
        meterRing_.push(oL, oR);
        if (stretchPeaks) {
            st.meterInput[0][LoopStretch::kHistory + k] = oL;
            st.meterInput[1][LoopStretch::kHistory + k] = oR;
        }
        st.meterPending[k] = false;
        if (peakMode != 0 && steps_[kMeterOvs].get() == 1) {
            const StereoValue centre = meterRing_.centre();
            const __m128d c = _mm_set_pd(centre.r, centre.l);
            const __m128d centreMagnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), c);
            if (stretchPeaks) {
                st.meterPending[k] = meterPending = true;
                meters_.outputPeak(centreMagnitude);
            } else {
                const StereoValue between = peakMode == 1 ? halfbandPeak(meterRing_.window())
                                                          : quarterPeak(meterRing_.window());
                meters_.outputPeak(_mm_max_pd(_mm_set_pd(between.r, between.l), centreMagnitude));
            }
            meters_.outputMeanSquare(c, rmsCoefs);
        } else {
            const __m128d o = _mm_set_pd(oR, oL);
            meters_.outputPeak(o);
            meters_.outputMeanSquare(o, rmsCoefs);
        }

        // 16. Requantizer.
        if (steps_[kQuantize].get() == 1) {
            int position = nsPosition_.get();
            requantizer_.process<kAvx2>(oL, oR, nsCurrent_.get(), nsOrder_.get(), position,
                                        steps_[kAutoblack].get() == 1, autoblackCoef, dither);
            nsPosition_.set(position);
        }

        // 17. Clamp and write, right first so a shared buffer keeps the left result.
        if (outR != nullptr) outR[begin + k] = static_cast<Sample>(clampUnit(oR));
        outL[begin + k] = static_cast<Sample>(clampUnit(oL));
    };

    for (begin = 0; begin < frames; begin += LoopStretch::kLength) {
        length = std::min(LoopStretch::kLength, frames - begin);
        // The 4x peaks of a whole stretch at once need the AVX2 kernels, and
        // pay only over more samples than their groups of eight hold.
        stretchPeaks = kAvx2 && peakMode == 2 && length >= 16;
        detectionPending = meterPending = false;
        meterStart = 0;
        if (!stretchPeaks) {
            // One pass; each sample's input is read before its output is
            // written, so buffers may alias.
            for (int k = 0; k < length; ++k) {
                inputSide(k);
                outputSide(k);
            }
            continue;
        }

        // Pass 1: the input side of every sample; all inputs are read before
        // any output is written, so buffers may alias.
        LoopStretch::takeHistory(detectRing_, st.detectInput);
        for (int k = 0; k < length; ++k) inputSide(k);

        // The detector's 4x peaks of the stretch; d of the samples that wait for them.
        if (detectionPending) {
            for (int c = 0; c < 2; ++c) quarterPeaksAvx2(st.detectInput[c], length, st.peaks[c]);
            for (int k = 0; k < length; ++k) {
                if (!st.detectionPending[k]) continue;
                for (int c = 0; c < 2; ++c) {
                    const double centre = st.detection[k][c];
                    st.detection[k][c] =
                        floorDetection(std::max(std::fabs(centre), st.peaks[c][k]) * 1.001);
                }
            }
        }
        LoopStretch::takeHistory(meterRing_, st.meterInput);

        // Pass 2: the rest of every sample.
        for (int k = 0; k < length; ++k) outputSide(k);

        // The output meter's 4x peaks of the stretch, from the last restart of
        // the holds on (the peaks are maxima, so their order does not matter).
        if (meterPending) {
            for (int c = 0; c < 2; ++c) quarterPeaksAvx2(st.meterInput[c], length, st.peaks[c]);
            for (int k = meterStart; k < length; ++k)
                if (st.meterPending[k])
                    meters_.outputPeak(_mm_set_pd(st.peaks[1][k], st.peaks[0][k]));
        }
    }

    driveSmoothed_ = driveSmoothed;
    outputSmoothed_ = outputSmoothed;
    levellerEnvelope_ = levellerEnvelope;
    ditherState_ = dither;
    // Readers poll far less often than once per block; a reading taken during
    // a block shows the values at its start.
    meters_.publish();
}

// The loop compiled twice: for any x86-64, and with AVX2/FMA code generation
// for processors that have it (chosen once per process). Both run the same
// operations in the same order; contraction to FMA is off for the engine.
template <typename Sample>
void LimiterEngine::runLoopSse2(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR,
                                int frames) {
    runLoop<false>(inL, inR, outL, outR, frames);
}

template <typename Sample>
__attribute__((target("avx2,fma"))) void LimiterEngine::runLoopAvx2(const Sample* inL,
                                                                    const Sample* inR, Sample* outL,
                                                                    Sample* outR, int frames) {
    runLoop<true>(inL, inR, outL, outR, frames);
}

void LimiterEngine::processReplacing64(const double* inL, const double* inR, double* outL,
                                       double* outR, int frames) {
    if (interpolatorsUseAvx2())
        runLoopAvx2(inL, inR, outL, outR, frames);
    else
        runLoopSse2(inL, inR, outL, outR, frames);
}

void LimiterEngine::processReplacing32(const float* inL, const float* inR, float* outL, float* outR,
                                       int frames) {
    if (interpolatorsUseAvx2())
        runLoopAvx2(inL, inR, outL, outR, frames);
    else
        runLoopSse2(inL, inR, outL, outR, frames);
}

}  // namespace kt
