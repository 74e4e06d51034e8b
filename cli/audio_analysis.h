// The measurements of a render's summary: sample peak, true peak, integrated
// loudness and loudness range (libebur128) of the input and the output, the
// deepest gain reduction, and, for a plot, the levels over time. The metering
// runs on a worker thread, so the render loop only copies samples into
// chunks.
#pragma once

#include <ebur128.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/inter_sample_peak.h"

namespace kt {

struct LevelFigures {
    double samplePeak = 0.0;  // linear
    // Linear: the higher of libebur128's 4x (or 2x) oversampled estimate and
    // the finer InterSamplePeak.
    double truePeak = 0.0;
    double loudness = 0.0;        // integrated, LUFS; -inf for silence
    double loudnessRange = -1.0;  // LU; negative when not measured
};

// Levels at the end of each interval of a stream, for a plot.
struct LevelTimeline {
    double intervalSeconds = 0.0;
    std::vector<double> shortTermLoudness;  // LUFS over the 3 s before; -inf in silence
    std::vector<double> truePeak;           // linear, the highest of the interval
};

struct MeterOptions {
    bool loudnessRange = false;
    double timelineSeconds = 0.0;  // the timeline's interval; 0 keeps none
};

// One stream of interleaved frames: libebur128 plus the peak of each window.
class StreamMeter {
  public:
    StreamMeter(int channels, int sampleRate, std::size_t windowFrames,
                const MeterOptions& options = {});
    ~StreamMeter();
    StreamMeter(const StreamMeter&) = delete;
    StreamMeter& operator=(const StreamMeter&) = delete;

    void add(const double* interleaved, std::size_t frames);
    // Closes the timeline's last, partial interval and lets the inter-sample
    // peak's filter run out; call once after the last add.
    void finish();
    LevelFigures figures() const;
    const std::vector<double>& windowPeaks() const { return windowPeaks_; }
    const LevelTimeline& timeline() const { return timeline_; }
    ebur128_state* state() const { return state_; }

  private:
    void addToState(const double* interleaved, std::size_t frames);
    void closeInterval();

    ebur128_state* state_;
    InterSamplePeak interSample_;
    int channels_;
    bool loudnessRange_;
    std::size_t windowFrames_;
    std::size_t framesInWindow_ = 0;
    double windowPeak_ = 0.0;
    std::vector<double> windowPeaks_;
    std::size_t intervalFrames_ = 0;  // 0: no timeline
    std::size_t framesInInterval_ = 0;
    double intervalPeak_ = 0.0;
    LevelTimeline timeline_;
};

// The integrated loudness of several streams measured as one programme (an
// album), LUFS; -inf for silence.
double combinedLoudness(const std::vector<const StreamMeter*>& meters);

// The deepest gain reduction, in dB (0 or negative): over windows of the
// latency-aligned signals, the lowest ratio of output peak to input peak
// times the gain the settings ask for (drive and output level). Windows whose
// driven input stays below `threshold` (where a limiter has nothing to do)
// are left out. 0 when no window qualifies.
double deepestGainReductionDb(const std::vector<double>& inputPeaks,
                              const std::vector<double>& outputPeaks, double expectedGain,
                              double threshold);

// The gain reduction of each window as above, in dB; 0 for windows left out.
std::vector<double> gainReductionDb(const std::vector<double>& inputPeaks,
                                    const std::vector<double>& outputPeaks, double expectedGain,
                                    double threshold);

// The driven input level from which windows count for the gain reduction.
constexpr double kGainReductionThreshold = 0.5;  // -6 dBFS

// Input and output meters fed from the render loop through a worker thread.
// add*() copy into pre-allocated chunks and hand full chunks over; they wait
// only when the worker is far behind. A stream that is not measured (a null
// meter) is not copied at all.
class RenderAnalysis {
  public:
    static constexpr std::size_t kWindowFrames = 1024;  // about 23 ms at 44.1 kHz

    RenderAnalysis(int channels, int sampleRate, bool measureInput = true,
                   const MeterOptions& options = {});
    ~RenderAnalysis();
    RenderAnalysis(const RenderAnalysis&) = delete;
    RenderAnalysis& operator=(const RenderAnalysis&) = delete;

    template <typename Sample>
    void addInput(const Sample* interleaved, std::size_t frames) {
        if (inputMeter_) add(Stream::kInput, interleaved, frames);
    }
    template <typename Sample>
    void addOutput(const Sample* interleaved, std::size_t frames) {
        add(Stream::kOutput, interleaved, frames);
    }

    // Waits for the worker; call once, after the last add.
    void finish();
    // The meters, complete after finish(); the input's is null when not measured.
    std::shared_ptr<StreamMeter> input() const { return inputMeter_; }
    std::shared_ptr<StreamMeter> output() const { return outputMeter_; }

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
    std::shared_ptr<StreamMeter> inputMeter_;
    std::shared_ptr<StreamMeter> outputMeter_;
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
