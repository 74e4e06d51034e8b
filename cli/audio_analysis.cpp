#include "cli/audio_analysis.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kt {

namespace {

int meterMode(const MeterOptions& options) {
    int mode = EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK;
    if (options.loudnessRange) mode |= EBUR128_MODE_LRA;
    if (options.timelineSeconds > 0.0) mode |= EBUR128_MODE_S;
    return mode;
}

}  // namespace

StreamMeter::StreamMeter(int channels, int sampleRate, std::size_t windowFrames,
                         const MeterOptions& options)
    : state_(ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sampleRate),
                          meterMode(options))),
      interSample_(channels),
      channels_(channels),
      loudnessRange_(options.loudnessRange),
      windowFrames_(windowFrames) {
    if (options.timelineSeconds > 0.0) {
        intervalFrames_ = std::max<std::size_t>(
            1, static_cast<std::size_t>(std::lround(options.timelineSeconds * sampleRate)));
        timeline_.intervalSeconds = static_cast<double>(intervalFrames_) / sampleRate;
    }
}

StreamMeter::~StreamMeter() {
    if (state_ != nullptr) ebur128_destroy(&state_);
}

void StreamMeter::addToState(const double* interleaved, std::size_t frames) {
    if (state_ == nullptr) return;
    ebur128_add_frames_double(state_, interleaved, frames);
    if (intervalFrames_ == 0) return;
    for (int c = 0; c < channels_; ++c) {
        double peak = 0.0;
        if (ebur128_prev_true_peak(state_, static_cast<unsigned>(c), &peak) == EBUR128_SUCCESS)
            intervalPeak_ = std::max(intervalPeak_, peak);
    }
}

void StreamMeter::closeInterval() {
    double loudness = -std::numeric_limits<double>::infinity();
    if (state_ != nullptr && ebur128_loudness_shortterm(state_, &loudness) != EBUR128_SUCCESS)
        loudness = -std::numeric_limits<double>::infinity();
    timeline_.shortTermLoudness.push_back(
        std::isfinite(loudness) ? loudness : -std::numeric_limits<double>::infinity());
    timeline_.truePeak.push_back(intervalPeak_);
    intervalPeak_ = 0.0;
    framesInInterval_ = 0;
}

void StreamMeter::add(const double* interleaved, std::size_t frames) {
    interSample_.add(interleaved, frames);
    const std::size_t channels = static_cast<std::size_t>(channels_);
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t c = 0; c < channels; ++c)
            windowPeak_ = std::max(windowPeak_, std::fabs(interleaved[i * channels + c]));
        if (++framesInWindow_ == windowFrames_) {
            windowPeaks_.push_back(windowPeak_);
            windowPeak_ = 0.0;
            framesInWindow_ = 0;
        }
    }
    if (intervalFrames_ == 0) {
        addToState(interleaved, frames);
        return;
    }
    // The timeline needs the meter's state at each interval's end.
    while (frames > 0) {
        const std::size_t n = std::min(frames, intervalFrames_ - framesInInterval_);
        addToState(interleaved, n);
        framesInInterval_ += n;
        if (framesInInterval_ == intervalFrames_) closeInterval();
        interleaved += n * channels;
        frames -= n;
    }
}

void StreamMeter::finish() {
    interSample_.finish();
    if (intervalFrames_ > 0 && framesInInterval_ > 0) closeInterval();
}

LevelFigures StreamMeter::figures() const {
    LevelFigures figures;
    figures.loudness = -std::numeric_limits<double>::infinity();
    if (state_ == nullptr) return figures;
    for (int c = 0; c < channels_; ++c) {
        double peak = 0.0;
        if (ebur128_sample_peak(state_, static_cast<unsigned>(c), &peak) == EBUR128_SUCCESS)
            figures.samplePeak = std::max(figures.samplePeak, peak);
        if (ebur128_true_peak(state_, static_cast<unsigned>(c), &peak) == EBUR128_SUCCESS)
            figures.truePeak = std::max(figures.truePeak, peak);
    }
    figures.truePeak = std::max(figures.truePeak, interSample_.peak());
    double loudness = 0.0;
    if (ebur128_loudness_global(state_, &loudness) == EBUR128_SUCCESS && std::isfinite(loudness))
        figures.loudness = loudness;
    double range = 0.0;
    if (loudnessRange_ && ebur128_loudness_range(state_, &range) == EBUR128_SUCCESS &&
        std::isfinite(range))
        figures.loudnessRange = range;
    return figures;
}

double combinedLoudness(const std::vector<const StreamMeter*>& meters) {
    std::vector<ebur128_state*> states;
    for (const StreamMeter* meter : meters)
        if (meter != nullptr && meter->state() != nullptr) states.push_back(meter->state());
    double loudness = 0.0;
    if (states.empty() ||
        ebur128_loudness_global_multiple(states.data(), states.size(), &loudness) !=
            EBUR128_SUCCESS ||
        !std::isfinite(loudness))
        return -std::numeric_limits<double>::infinity();
    return loudness;
}

std::vector<double> gainReductionDb(const std::vector<double>& inputPeaks,
                                    const std::vector<double>& outputPeaks, double expectedGain,
                                    double threshold) {
    const std::size_t windows = std::min(inputPeaks.size(), outputPeaks.size());
    std::vector<double> reduction(windows, 0.0);
    for (std::size_t w = 0; w < windows; ++w) {
        const double driven = inputPeaks[w] * expectedGain;
        if (driven < threshold) continue;
        const double ratio = std::min(1.0, outputPeaks[w] / driven);
        reduction[w] =
            ratio > 0.0 ? 20.0 * std::log10(ratio) : -std::numeric_limits<double>::infinity();
    }
    return reduction;
}

double deepestGainReductionDb(const std::vector<double>& inputPeaks,
                              const std::vector<double>& outputPeaks, double expectedGain,
                              double threshold) {
    const std::vector<double> reduction =
        gainReductionDb(inputPeaks, outputPeaks, expectedGain, threshold);
    double deepest = 0.0;
    for (double db : reduction) deepest = std::min(deepest, db);
    return deepest;
}

RenderAnalysis::RenderAnalysis(int channels, int sampleRate, bool measureInput,
                               const MeterOptions& options)
    : channels_(channels),
      inputMeter_(measureInput
                      ? std::make_shared<StreamMeter>(channels, sampleRate, kWindowFrames, options)
                      : nullptr),
      outputMeter_(std::make_shared<StreamMeter>(channels, sampleRate, kWindowFrames, options)) {
    for (int i = 0; i < kChunkCount; ++i) {
        chunks_.push_back(std::make_unique<Chunk>());
        chunks_.back()->samples.resize(kChunkFrames * static_cast<std::size_t>(channels));
        free_.push_back(chunks_.back().get());
    }
    worker_ = std::thread([this] { work(); });
}

RenderAnalysis::~RenderAnalysis() {
    finish();
}

RenderAnalysis::Chunk* RenderAnalysis::takeFree(Stream stream) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty(); });
    Chunk* chunk = free_.back();
    free_.pop_back();
    chunk->stream = stream;
    chunk->frames = 0;
    return chunk;
}

void RenderAnalysis::submit(Chunk* chunk) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(chunk);
    }
    changed_.notify_all();
}

template <typename Sample>
void RenderAnalysis::add(Stream stream, const Sample* interleaved, std::size_t frames) {
    const std::size_t channels = static_cast<std::size_t>(channels_);
    Chunk*& chunk = filling_[stream == Stream::kInput ? 0 : 1];
    while (frames > 0) {
        if (chunk == nullptr) chunk = takeFree(stream);
        const std::size_t n = std::min(frames, kChunkFrames - chunk->frames);
        double* to = chunk->samples.data() + chunk->frames * channels;
        for (std::size_t i = 0; i < n * channels; ++i) to[i] = static_cast<double>(interleaved[i]);
        chunk->frames += n;
        interleaved += n * channels;
        frames -= n;
        if (chunk->frames == kChunkFrames) {
            submit(chunk);
            chunk = nullptr;
        }
    }
}

template void RenderAnalysis::add<float>(Stream, const float*, std::size_t);
template void RenderAnalysis::add<double>(Stream, const double*, std::size_t);

void RenderAnalysis::work() {
    for (;;) {
        Chunk* chunk = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || finishing_; });
            if (queue_.empty()) return;
            chunk = queue_.front();
            queue_.erase(queue_.begin());
        }
        StreamMeter& meter = chunk->stream == Stream::kInput ? *inputMeter_ : *outputMeter_;
        meter.add(chunk->samples.data(), chunk->frames);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            free_.push_back(chunk);
        }
        changed_.notify_all();
    }
}

void RenderAnalysis::finish() {
    if (!worker_.joinable()) return;
    for (Chunk*& chunk : filling_) {
        if (chunk != nullptr && chunk->frames > 0) submit(chunk);
        chunk = nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finishing_ = true;
    }
    changed_.notify_all();
    worker_.join();
    if (inputMeter_) inputMeter_->finish();
    outputMeter_->finish();
}

}  // namespace kt
