// Set-up, parameters and reset of the limiter engine. The per-sample loop is in
// limiter_loop.cpp and the calibration generator in calibration.cpp.
#include "engine/limiter_engine.h"

#include <algorithm>
#include <cmath>

#include "engine/parameters.h"

namespace kt {

namespace {

bool isStepped(int index) {
    return paramInfo(index).kind == ParamKind::Stepped;
}

int stepCount(int index) {
    return std::max(1, paramInfo(index).steps);
}

}  // namespace

LimiterEngine::LimiterEngine() {
    EngineLockGuard hold(engineLock_, 0);
    sampleRateHz_.set(44100);
    sampleRate_.set(44100.0);
    rateShift_.set(0);
    gainSmoothCoef_ = 1.0 - std::exp(-188.49555921538757 / 44100.0);
    autoblackCoef_ = onePole(10.0);
    levellerCoef_ = onePole(1000.0);

    for (int i = 0; i < kNumEngineParams; ++i) {
        const float v = startValue(i);
        values_[i].set(v);
        steps_[i].set(isStepped(i) ? paramContToLong(v, stepCount(i)) : 0);
    }
    outputGain_.set(1.0);
    driveGain_.set(1.0);
    powerOn_.set(1.0);
    levellerTarget_.set(0.5);
    transientAmount_.set(transientAmountFromValue(values_[kTransient].get()));
    releaseMs_.set(releaseMsFromValue(values_[kRelease].get()));
    linkAmount_.set(values_[kLink].get());
    computeTransientCoefs();
    computeReleaseCoefs();

    lookaheadLength_ = 128;
    truePeakMode_ = 2;
    setSmoothLength();
    nsZeroTable_.fill(0.0);
    nsOrder_.set(12);
    nsCurrent_.set(nsZeroTable_.data());

    calcFIR();
    calcNS();
    rmsCoef_ = 1.0 - std::pow(0.01, 1000.0 / (sampleRate_.get() * 600.0));
    suspendLocked();
}

LimiterEngine::~LimiterEngine() {
    // Waits for a block still running on another thread.
    EngineLockGuard hold(engineLock_, 0);
}

double LimiterEngine::onePole(double ms) const {
    return 1.0 - std::exp(-1000.0 / (sampleRate_.get() * ms));
}

// A Transient or Release change computes without the lock, so a rate change
// may land meanwhile. The rate epoch tells: a rate change bumps it after
// storing the rate; a computation reads it before the rate and checks it with
// a read-modify-write after its stores, so either it sees the new epoch and
// computes again, or the rate change's own computation is ordered after its
// stores and wins.
void LimiterEngine::computeTransientCoefs() {
    unsigned epoch;
    do {
        epoch = rateEpoch_.load(std::memory_order_acquire);
        const double rate = sampleRate_.get();
        for (int k = 0; k < 8; ++k) {
            const double ms = 32.0 - k * 31.0 / 7.0;
            transientCoefs_[k].set(1.0 - std::exp(-1000.0 / (rate * ms)));
        }
    } while (rateEpoch_.fetch_add(0, std::memory_order_acq_rel) != epoch);
    envelopeCoefVersion_.fetch_add(1, std::memory_order_release);
}

void LimiterEngine::computeReleaseCoefs() {
    unsigned epoch;
    do {
        epoch = rateEpoch_.load(std::memory_order_acquire);
        const double rate = sampleRate_.get();
        const double r = releaseMs_.get();
        const double d = (r - 2.0) / 7.0;
        for (int k = 0; k < 8; ++k)
            releaseCoefs_[k].set(1.0 - std::exp(-1000.0 / ((r - k * d) * rate)));
    } while (rateEpoch_.fetch_add(0, std::memory_order_acq_rel) != epoch);
    envelopeCoefVersion_.fetch_add(1, std::memory_order_release);
}

// W by TransShape step and rate band: 8/16/64 << shift, but 128 for step 2 at the top band.
void LimiterEngine::setSmoothLength() {
    const int shift = rateShift_.get();
    const int shape = std::clamp(steps_[kTransShape].get(), 0, 2);
    static constexpr int kBase[3] = {8, 16, 64};
    smoothLength_ = std::min(kBase[shape] << shift, SmoothingConvolver::kMaxLength);
    alignDelayLength_ = lookaheadLength_ + 2 - 2 * smoothLength_;

    dryDelay_.setLength(lookaheadLength_ + kPreDelayLength);
    preDelay_.setLength(kPreDelayLength);
    lookaheadDelay_.setLength(lookaheadLength_);
    alignDelay_.setLength(alignDelayLength_);
    peakTree_.setLength(lookaheadLength_);
    smoothTree_.setLength(smoothLength_);
}

void LimiterEngine::calcFIR() {
    convolver_.setLength(smoothLength_);
}

void LimiterEngine::calcNS() {
    for (int s = 0; s < kNoiseShapeCount; ++s)
        for (int r = 0; r < kNoiseShapeRateCount; ++r)
            nsTables_[s][r] = noiseShapeCoefficients(s + 1, r);
}

const double* LimiterEngine::nsTable(int shape, int rateSlot) const {
    if (shape < 1 || shape > kNoiseShapeCount) return nsZeroTable_.data();
    return nsTables_[shape - 1][std::clamp(rateSlot, 0, kNoiseShapeRateCount - 1)].data();
}

// The table for the NoiseShape step at the current rate; at a rate without
// tables the previous table stays. A rate change only raises the order for the
// 32-coefficient shapes; a NoiseShape change sets it for every shape.
void LimiterEngine::selectNoiseShape(bool fromSampleRate) {
    const int shape = std::clamp(steps_[kNoiseShape].get(), 0, kNoiseShapeCount);
    if (shape == 0) {
        nsCurrent_.set(nsZeroTable_.data());
    } else {
        const int slot = noiseShapeRateSlot(sampleRateHz_.get());
        if (slot >= 0) nsCurrent_.set(nsTables_[shape - 1][slot].data());
    }
    if (!fromSampleRate || shape >= 4) nsOrder_.set(noiseShapeOrder(shape));
}

void LimiterEngine::setParameter(int index, float v) {
    if (index < 0 || index >= kNumEngineParams) return;
    if (index == kTransShape) {
        // Changes lengths and buffers the loop uses: wait for the lock however long.
        EngineLockGuard hold(engineLock_, 0);
        values_[index].set(v);
        const int step = paramContToLong(v, 3);
        if (step != steps_[index].get()) {
            steps_[index].set(step);
            setSmoothLength();
            calcFIR();
            suspendLocked();
        }
        return;
    }
    values_[index].set(v);
    if (isStepped(index)) steps_[index].set(paramContToLong(v, stepCount(index)));

    switch (index) {
        case kOutput:
            outputGain_.set(outputGainFromValue(v));
            break;
        case kDrive:
            driveGain_.set(driveGainFromValue(v));
            break;
        case kTransient:
            transientAmount_.set(transientAmountFromValue(v));
            computeTransientCoefs();
            break;
        case kRelease:
            releaseMs_.set(releaseMsFromValue(v));
            computeReleaseCoefs();
            break;
        case kLink:
            linkAmount_.set(v);
            break;
        case kPower:
            powerOn_.set(steps_[kPower].get() == 1 ? 1.0 : 0.0);
            break;
        case kNoiseShape:
            nsPosition_.set(0);
            selectNoiseShape(false);
            break;
        case kLeveller:
            levellerTarget_.set(levellerTargetFromValue(v));
            break;
        case kAttShow:
            meters_.resetGainMin();
            break;
        default:
            break;
    }
}

float LimiterEngine::getParameter(int index) const {
    if (index < 0 || index >= kNumEngineParams) return 0.0f;
    return values_[index].get();
}

int LimiterEngine::step(int index) const {
    if (index < 0 || index >= kNumEngineParams) return 0;
    return steps_[index].get();
}

int LimiterEngine::setSampleRate(float rate) {
    EngineLockGuard hold(engineLock_, 0);
    applySampleRate(rate);
    return latency();
}

void LimiterEngine::applySampleRate(float rate) {
    suspendLocked();
    // Truncated toward zero; 5000..200000 Hz, anything else counts as 44100.
    int hz = 44100;
    if (rate >= 5000.0f && rate < 200001.0f) hz = static_cast<int>(rate);
    if (hz != sampleRateHz_.get()) {
        sampleRateHz_.set(hz);
        sampleRate_.set(hz);
        rateEpoch_.fetch_add(1, std::memory_order_acq_rel);
        rateShift_.set(hz < 80000 ? 0 : (hz < 170000 ? 1 : 2));
        lookaheadLength_ = 128 << rateShift_.get();
        setSmoothLength();
        computeReleaseCoefs();
        nsPosition_.set(0);
        selectNoiseShape(true);
        computeTransientCoefs();
        rmsCoef_ = 1.0 - std::pow(0.01, 1000.0 / (sampleRate_.get() * 600.0));
        gainSmoothCoef_ = 1.0 - std::exp(-188.49555921538757 / sampleRate_.get());
        autoblackCoef_ = onePole(10.0);
        levellerCoef_ = onePole(1000.0);
        calcFIR();
        calcNS();
        truePeakMode_ = hz <= 48000 ? 2 : (hz <= 96000 ? 1 : 0);
    }
    flush();
}

int LimiterEngine::latency() const {
    return (128 << rateShift_.get()) + kPreDelayLength;
}
int LimiterEngine::rateShift() const {
    return rateShift_.get();
}
int LimiterEngine::sampleRateHz() const {
    return sampleRateHz_.get();
}

void LimiterEngine::suspend() {
    EngineLockGuard hold(engineLock_, 0);
    suspendLocked();
}

void LimiterEngine::suspendLocked() {
    ditherState_.seed();
    dryDelay_.resetPosition();
    preDelay_.resetPosition();
    lookaheadDelay_.resetPosition();
    alignDelay_.resetPosition();
    detectRing_.resetPosition();
    meterRing_.resetPosition();
    peakTree_.resetPosition();
    smoothTree_.resetPosition();
    convolver_.resetPositions();
    nsPosition_.set(0);

    meters_.clear();
    pinkNoise_.clear();
    envelopes_.clear();

    driveSmoothed_ = driveGain_.get();
    outputSmoothed_ = outputGain_.get();
    levellerEnvelope_ = 1e-5;
    requantizer_.resetGain();
    flush();
}

void LimiterEngine::flush() {
    dryDelay_.clear();
    preDelay_.clear();
    lookaheadDelay_.clear();
    alignDelay_.clear();
    detectRing_.clear();
    meterRing_.clear();
    peakTree_.clear();
    smoothTree_.clear();
    convolver_.clear();
    requantizer_.clearErrors();
}

void LimiterEngine::getMeters(float out[10]) {
    meters_.read(out);
}

template <typename Sample>
void LimiterEngine::process(const Sample* inL, const std::type_identity_t<Sample>* inR,
                            std::type_identity_t<Sample>* outL, std::type_identity_t<Sample>* outR,
                            int frames) {
    if (frames <= 0 || outL == nullptr) return;
    if (inR == nullptr) inR = inL;
    EngineLockGuard hold(engineLock_, 1000);
    if (!hold.held() || inL == nullptr) {
        // Without the lock the state is not ours to touch: silence, right first.
        if (outR != nullptr) std::fill(outR, outR + frames, Sample(0));
        std::fill(outL, outL + frames, Sample(0));
        return;
    }
    if (steps_[kCalibrate].get() != 0) {
        if constexpr (sizeof(Sample) == sizeof(float))
            calibrateReplacing(outL, outR, frames);
        else
            calibrateReplacing64(outL, outR, frames);
    } else {
        if constexpr (sizeof(Sample) == sizeof(float))
            processReplacing32(inL, inR, outL, outR, frames);
        else
            processReplacing64(inL, inR, outL, outR, frames);
    }
}

template void LimiterEngine::process(const float*, const float*, float*, float*, int);
template void LimiterEngine::process(const double*, const double*, double*, double*, int);

}  // namespace kt
