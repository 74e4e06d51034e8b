#include "cli/audio_analysis.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kt {

StreamMeter::StreamMeter(int channels, int sampleRate, std::size_t windowFrames)
    : state_(ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sampleRate),
                          EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK)),
      channels_(channels),
      windowFrames_(windowFrames) {}

StreamMeter::~StreamMeter() {
    if (state_ != nullptr) ebur128_destroy(&state_);
}

void StreamMeter::add(const double* interleaved, std::size_t frames) {
    if (state_ != nullptr) ebur128_add_frames_double(state_, interleaved, frames);
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
    double loudness = 0.0;
    if (ebur128_loudness_global(state_, &loudness) == EBUR128_SUCCESS && std::isfinite(loudness))
        figures.loudness = loudness;
    return figures;
}

double deepestGainReductionDb(const std::vector<double>& inputPeaks,
                              const std::vector<double>& outputPeaks, double expectedGain,
                              double threshold) {
    double lowest = 1.0;
    const std::size_t windows = std::min(inputPeaks.size(), outputPeaks.size());
    for (std::size_t w = 0; w < windows; ++w) {
        const double driven = inputPeaks[w] * expectedGain;
        if (driven < threshold) continue;
        lowest = std::min(lowest, outputPeaks[w] / driven);
    }
    return lowest > 0.0 ? 20.0 * std::log10(lowest) : -std::numeric_limits<double>::infinity();
}

RenderAnalysis::RenderAnalysis(int channels, int sampleRate)
    : channels_(channels),
      inputMeter_(channels, sampleRate, kWindowFrames),
      outputMeter_(channels, sampleRate, kWindowFrames) {
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
        StreamMeter& meter = chunk->stream == Stream::kInput ? inputMeter_ : outputMeter_;
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
}

}  // namespace kt
