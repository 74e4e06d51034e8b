// The limiter engine: everything between the host's sample buffers and the
// limited, requantized output, with its parameters' derived values, its
// sample-rate set-up and its meter feed. It knows nothing of the plug-in
// interface; the effect class feeds it resolved channel pointers.
//
// Threads: process*() runs on the host's audio thread and takes the engine lock
// for the block (1000 ms at most; a block that cannot get it writes silence and
// leaves the state alone). setSampleRate() and a TransShape change wait for the
// lock without limit. Every other setParameter() is a relaxed atomic store that
// the loop picks up at its next sample or block. getMeters() may run on any
// thread and takes no lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <type_traits>

#include "engine/block_convolver.h"
#include "engine/delay_line.h"
#include "engine/dither_generator.h"
#include "engine/envelope_bank.h"
#include "engine/interpolators.h"
#include "engine/loop_stretch.h"
#include "engine/meter_feed.h"
#include "engine/noise_shaping_tables.h"
#include "engine/parameters.h"
#include "engine/pink_noise.h"
#include "engine/relaxed.h"
#include "engine/requantizer.h"
#include "engine/stereo_sliding_max.h"
#include "platform/engine_lock.h"

namespace kt {

class LimiterEngine {
  public:
    // Allocates every buffer and table at the capacity the largest rate needs
    // and sets the engine up for 44100 Hz with its start values.
    LimiterEngine();
    ~LimiterEngine();
    LimiterEngine(const LimiterEngine&) = delete;
    LimiterEngine& operator=(const LimiterEngine&) = delete;

    // The engine part of a parameter change for indices 0..21: stores v and
    // updates the derived values. Other indices are ignored. Any thread.
    void setParameter(int index, float v);
    // The last v stored for indices 0..21; 0 for any other index.
    float getParameter(int index) const;

    // Sets the engine up for a new rate (out-of-range rates count as 44100) and
    // resets the running state. Returns the latency in samples.
    int setSampleRate(float rate);
    int latency() const;    // lookaheadLength + 31: 159, 287 or 543
    int rateShift() const;  // 0, 1 or 2
    int sampleRateHz() const;

    // Clears the running state (takes the lock).
    void suspend();

    // One block, for float and double samples alike. inR may equal inL (mono
    // input); outR may be null (no second output: only outL is written) or
    // equal outL (the left result remains). Buffers may alias inputs. Takes
    // the engine lock for the block (1000 ms at most; without it the block is
    // silence and the state is left alone), then runs the loop of that
    // precision, or the calibration generator while Calibrate is not off.
    // The sample type follows the first input (outR may be a plain nullptr).
    template <typename Sample>
    void process(const Sample* inL, const std::type_identity_t<Sample>* inR,
                 std::type_identity_t<Sample>* outL, std::type_identity_t<Sample>* outR,
                 int frames);

    // Writes input peak L/R, output peak L/R, input RMS L/R, output RMS L/R and
    // lowest gain L/R into out[0..9], then asks the loop to restart its holds.
    void getMeters(float out[10]);

    EngineLock& engineLock() { return engineLock_; }

    // Read-outs of the set-up, for tests and diagnostics. Read them while no
    // other thread changes the rate or TransShape.
    int lookaheadLength() const { return lookaheadLength_; }
    int smoothLength() const { return smoothLength_; }
    int alignDelayLength() const { return alignDelayLength_; }
    int truePeakMode() const { return truePeakMode_; }
    int step(int index) const;
    double transientCoef(int k) const { return transientCoefs_[k].get(); }
    double releaseCoef(int k) const { return releaseCoefs_[k].get(); }
    const double* smoothSpectrum() const { return convolver_.spectrum(); }
    const double* nsCurrent() const { return nsCurrent_.get(); }
    int nsOrder() const { return nsOrder_.get(); }
    const double* nsTable(int shape, int rateSlot) const;
    double autoblackGain() const { return requantizer_.autoblackGain(); }
    double autoblackCoef() const { return autoblackCoef_; }
    double outputGain() const { return outputGain_.get(); }

  private:
    // Set-up; callers hold the lock.
    void applySampleRate(float rate);
    void calcFIR();
    void calcNS();
    void flush();
    void suspendLocked();
    void selectNoiseShape(bool fromSampleRate);
    void setSmoothLength();
    void computeTransientCoefs();
    void computeReleaseCoefs();
    double onePole(double ms) const;

    // The per-sample loop, written once for both sample types; and the
    // calibration generator. Callers hold the lock.
    template <bool kAvx2, typename Sample>
    [[gnu::always_inline]] inline void runLoop(const Sample* inL, const Sample* inR, Sample* outL,
                                               Sample* outR, int frames);
    template <typename Sample>
    void runLoopAvx2(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames);
    template <typename Sample>
    void runLoopSse2(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames);
    void processReplacing64(const double* inL, const double* inR, double* outL, double* outR,
                            int frames);
    void processReplacing32(const float* inL, const float* inR, float* outL, float* outR,
                            int frames);
    template <typename Sample>
    void calibrate(Sample* outL, Sample* outR, int frames);
    void calibrateReplacing(float* outL, float* outR, int frames);
    void calibrateReplacing64(double* outL, double* outR, int frames);

    static constexpr int kMaxLookahead = 512;
    static constexpr int kPreDelayLength = 31;

    EngineLock engineLock_;

    // Parameter values and their derived values, written by setParameter from
    // any thread.
    std::array<Relaxed<float>, kNumEngineParams> values_;
    std::array<Relaxed<int>, kNumEngineParams> steps_;
    Relaxed<double> outputGain_{1.0};
    Relaxed<double> driveGain_{1.0};
    Relaxed<double> transientAmount_{0.0};
    Relaxed<double> releaseMs_{200.0};
    Relaxed<double> linkAmount_{1.0};
    Relaxed<double> powerOn_{1.0};
    Relaxed<double> levellerTarget_{0.5};
    std::array<Relaxed<double>, 8> transientCoefs_;
    std::array<Relaxed<double>, 8> releaseCoefs_;
    // Counts the changes of the two arrays above, each counted after its
    // stores (release), so the loop reloads them only when they have changed.
    std::atomic<unsigned> envelopeCoefVersion_{0};
    // Counts the rate changes, each counted after the new rate is stored.
    std::atomic<unsigned> rateEpoch_{0};

    // Rate and lengths: written under the lock, some read by setParameter without it.
    Relaxed<double> sampleRate_{44100.0};
    Relaxed<int> sampleRateHz_{44100};
    Relaxed<int> rateShift_{0};
    int lookaheadLength_ = 128;
    int smoothLength_ = 64;
    int alignDelayLength_ = 2;
    int truePeakMode_ = 2;
    double gainSmoothCoef_ = 0.0;
    double levellerCoef_ = 0.0;
    double autoblackCoef_ = 0.0;
    double rmsCoef_ = 0.0;

    // Noise shaping: 36 tables (shape 1..6 by rate slot), the zero table, the
    // one in use, its order and the error ring position.
    std::array<std::array<NoiseShapeTable, kNoiseShapeRateCount>, kNoiseShapeCount> nsTables_{};
    NoiseShapeTable nsZeroTable_{};
    Relaxed<const double*> nsCurrent_{nullptr};
    Relaxed<int> nsOrder_{12};
    Relaxed<int> nsPosition_{0};

    // Running state of the loop.
    double driveSmoothed_ = 1.0;
    double outputSmoothed_ = 1.0;
    double levellerEnvelope_ = 1e-5;
    StereoDelay<kMaxLookahead + kPreDelayLength> dryDelay_;
    StereoDelay<kPreDelayLength> preDelay_;
    StereoDelay<kMaxLookahead> lookaheadDelay_;
    StereoDelay<kMaxLookahead> alignDelay_;
    StereoHistory detectRing_;
    StereoHistory meterRing_;
    LoopStretch stretch_;
    StereoSlidingMax<kMaxLookahead> peakTree_;
    StereoSlidingMax<SmoothingConvolver::kMaxLength> smoothTree_;
    EnvelopeBank envelopes_;
    SmoothingConvolver convolver_;
    Requantizer requantizer_;
    DitherGenerator ditherState_;
    PinkNoise pinkNoise_;
    MeterFeed meters_;
};

extern template void LimiterEngine::process(const float*, const float*, float*, float*, int);
extern template void LimiterEngine::process(const double*, const double*, double*, double*, int);

}  // namespace kt
