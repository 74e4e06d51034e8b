// The measurements of a render's summary: sample peak, true peak and
// integrated loudness (libebur128) of the input and the output, and the
// deepest gain reduction. The metering runs on a worker thread, so the
// render loop only copies samples into chunks.
#pragma once

#include <ebur128.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kt {

struct LevelFigures {
    double samplePeak = 0.0;  // linear
    double truePeak = 0.0;    // linear, libebur128's 4x (or 2x) oversampled estimate
    double loudness = 0.0;    // integrated, LUFS; -inf for silence
};

// One stream of interleaved frames: libebur128 plus the peak of each window.
class StreamMeter {
  public:
    StreamMeter(int channels, int sampleRate, std::size_t windowFrames);
    ~StreamMeter();
    StreamMeter(const StreamMeter&) = delete;
    StreamMeter& operator=(const StreamMeter&) = delete;

    void add(const double* interleaved, std::size_t frames);
    LevelFigures figures() const;
    const std::vector<double>& windowPeaks() const { return windowPeaks_; }

  private:
    ebur128_state* state_;
    int channels_;
    std::size_t windowFrames_;
    std::size_t framesInWindow_ = 0;
    double windowPeak_ = 0.0;
    std::vector<double> windowPeaks_;
};

// The deepest gain reduction, in dB (0 or negative): over windows of the
// latency-aligned signals, the lowest ratio of output peak to input peak
// times the gain the settings ask for (drive and output level). Windows whose
// driven input stays below `threshold` (where a limiter has nothing to do)
// are left out. 0 when no window qualifies.
double deepestGainReductionDb(const std::vector<double>& inputPeaks,
                              const std::vector<double>& outputPeaks, double expectedGain,
                              double threshold);

// Input and output meters fed from the render loop through a worker thread.
// add*() copy into pre-allocated chunks and hand full chunks over; they wait
// only when the worker is far behind.
class RenderAnalysis {
  public:
    static constexpr std::size_t kWindowFrames = 1024;  // about 23 ms at 44.1 kHz

    RenderAnalysis(int channels, int sampleRate);
    ~RenderAnalysis();
    RenderAnalysis(const RenderAnalysis&) = delete;
    RenderAnalysis& operator=(const RenderAnalysis&) = delete;

    template <typename Sample>
    void addInput(const Sample* interleaved, std::size_t frames) {
        add(Stream::kInput, interleaved, frames);
    }
    template <typename Sample>
    void addOutput(const Sample* interleaved, std::size_t frames) {
        add(Stream::kOutput, interleaved, frames);
    }

    // Waits for the worker; call once, after the last add.
    void finish();
    const StreamMeter& input() const { return inputMeter_; }
    const StreamMeter& output() const { return outputMeter_; }

  private:
    enum class Stream { kInput, kOutput };
    struct Chunk {
        Stream stream = Stream::kInput;
        std::vector<double> samples;
        std::size_t frames = 0;
    };

    template <typename Sample>
    void add(Stream stream, const Sample* interleaved, std::size_t frames);
    Chunk* takeFree(Stream stream);
    void submit(Chunk* chunk);
    void work();

    static constexpr std::size_t kChunkFrames = 16384;
    static constexpr int kChunkCount = 8;

    int channels_;
    StreamMeter inputMeter_;
    StreamMeter outputMeter_;
    std::vector<std::unique_ptr<Chunk>> chunks_;
    Chunk* filling_[2] = {nullptr, nullptr};

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Chunk*> free_;
    std::vector<Chunk*> queue_;  // in order of submission
    bool finishing_ = false;
    std::thread worker_;
};

extern template void RenderAnalysis::add<float>(Stream, const float*, std::size_t);
extern template void RenderAnalysis::add<double>(Stream, const double*, std::size_t);

}  // namespace kt
