#include "cli/render.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include "cli/atomic_output.h"

namespace kt {
namespace {

void processBlock(const VstPlugin& plugin, float** in, float** out, int frames) {
    plugin.process(in, out, frames);
}
void processBlock(const VstPlugin& plugin, double** in, double** out, int frames) {
    plugin.processDouble(in, out, frames);
}

struct SoundFile {
    SNDFILE* handle = nullptr;
    ~SoundFile() { close(); }
    // libsndfile's error code of the close (it finishes the header).
    int close() {
        const int code = handle != nullptr ? sf_close(handle) : 0;
        handle = nullptr;
        return code;
    }
};

// Calls the progress function when the percentage changes.
class ProgressTicker {
  public:
    ProgressTicker(const std::function<void(double)>& report, long long total)
        : report_(report), total_(total) {}
    void update(long long done) {
        if (!report_ || total_ <= 0) return;
        const int percent = static_cast<int>(std::min<long long>(100, done * 100 / total_));
        if (percent == shown_) return;
        shown_ = percent;
        report_(percent / 100.0);
    }

  private:
    const std::function<void(double)>& report_;
    long long total_;
    int shown_ = -1;
};

// The render proper, in the sample type of the processing precision. The
// effect's output frame m belongs to input frame m - latency; after the end
// of the input, silence is fed until the last input frame has come out.
template <typename Sample>
bool renderLoop(const VstPlugin& plugin, const RenderOptions& options, InputFile& in,
                RenderSink* out, RenderSummary* summary, std::string* error) {
    const SF_INFO& info = in.info();
    const int channels = info.channels;
    const int block = options.blockSize;
    const std::size_t stride = static_cast<std::size_t>(block);

    const int inputCount = std::max(2, plugin.numInputs());
    const int outputCount = std::max(2, plugin.numOutputs());
    std::vector<std::vector<Sample>> inputs(inputCount, std::vector<Sample>(stride));
    std::vector<std::vector<Sample>> outputs(outputCount, std::vector<Sample>(stride));
    std::vector<Sample*> inputPointers, outputPointers;
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    for (auto& channel : outputs) outputPointers.push_back(channel.data());

    // Some modules settle their latency during their first processing call
    // (and tell the host with audioMasterIOChanged). One block of silence and
    // a suspend/resume let it settle before the latency is read; the suspend
    // clears whatever that block left behind.
    processBlock(plugin, inputPointers.data(), outputPointers.data(), block);
    plugin.dispatch(vst::effStopProcess);
    plugin.setMainsOn(false);
    plugin.setMainsOn(true);
    plugin.dispatch(vst::effStartProcess);
    const long long latency = plugin.latency();

    std::vector<Sample> readBuffer(stride * channels);
    std::vector<Sample> alignedBuffer(stride * channels);
    std::vector<Sample> rawBuffer(stride * channels);

    std::optional<RenderAnalysis> analysis;
    if (options.analyse)
        analysis.emplace(channels, info.samplerate, options.analyseInput, options.meters);
    ProgressTicker progress(options.onProgress, info.frames);
    std::chrono::steady_clock::duration processTime{};

    long long inputFrames = 0;  // frames read from the file so far
    long long moduleFrame = 0;  // index of the effect's next output frame
    bool endOfInput = false;
    for (;;) {
        int fromFile = 0;
        if (!endOfInput) {
            fromFile = static_cast<int>(in.read(readBuffer.data(), block));
            inputFrames += fromFile;
            if (fromFile < block) endOfInput = true;
        }
        int frames = block;
        if (endOfInput) {
            const long long needed = inputFrames + latency - moduleFrame;
            if (needed <= 0) break;
            frames = static_cast<int>(std::min<long long>(block, needed));
        }

        // Deinterleave; a mono file feeds both inputs.
        for (int c = 0; c < 2; ++c) {
            const int from = std::min(c, channels - 1);
            Sample* to = inputs[c].data();
            for (int i = 0; i < fromFile; ++i) to[i] = readBuffer[i * channels + from];
            std::fill(to + fromFile, to + frames, Sample(0));
        }
        for (int c = 2; c < inputCount; ++c)
            std::fill(inputs[c].begin(), inputs[c].end(), Sample(0));
        if (analysis) analysis->addInput(readBuffer.data(), static_cast<std::size_t>(fromFile));

        const auto started = std::chrono::steady_clock::now();
        processBlock(plugin, inputPointers.data(), outputPointers.data(), frames);
        processTime += std::chrono::steady_clock::now() - started;

        // The part of this block that lines up with input frames.
        const long long alignedBegin = std::max(moduleFrame, latency);
        const long long alignedEnd = std::min(moduleFrame + frames, inputFrames + latency);
        int aligned = 0;
        for (long long m = alignedBegin; m < alignedEnd; ++m, ++aligned) {
            const long long k = m - moduleFrame;
            for (int c = 0; c < channels; ++c)
                alignedBuffer[aligned * channels + c] = outputs[c][k];
        }
        if (analysis) analysis->addOutput(alignedBuffer.data(), static_cast<std::size_t>(aligned));

        bool written = true;
        if (out == nullptr) {
            // Measured only.
        } else if (!options.keepLatency) {
            written = out->write(alignedBuffer.data(), aligned);
        } else {
            const long long rawEnd = std::min(moduleFrame + frames, inputFrames);
            int raw = 0;
            for (long long m = moduleFrame; m < rawEnd; ++m, ++raw) {
                const long long k = m - moduleFrame;
                for (int c = 0; c < channels; ++c) rawBuffer[raw * channels + c] = outputs[c][k];
            }
            written = out->write(rawBuffer.data(), raw);
        }
        if (!written) {
            *error = "cannot write " + options.outputPath + " (is the disk full?)";
            return false;
        }
        moduleFrame += frames;
        progress.update(inputFrames);
    }
    summary->sampleRate = info.samplerate;
    summary->channels = channels;
    summary->frames = inputFrames;
    summary->latency = static_cast<int>(latency);
    if (analysis) {
        analysis->finish();
        summary->analysed = true;
        summary->outputMeter = analysis->output();
        summary->output = summary->outputMeter->figures();
        if (analysis->input()) {
            summary->inputMeter = analysis->input();
            summary->input = summary->inputMeter->figures();
            summary->deepestReductionDb = deepestGainReductionDb(
                summary->inputMeter->windowPeaks(), summary->outputMeter->windowPeaks(),
                options.expectedGain, kGainReductionThreshold);
        }
    }
    summary->processSeconds = std::chrono::duration<double>(processTime).count();
    summary->audioSeconds = static_cast<double>(inputFrames) / info.samplerate;
    return true;
}

bool checkOptions(const VstPlugin& plugin, const RenderOptions& options, std::string* error) {
    if (options.blockSize < 1 || options.blockSize > 65536) {
        *error = "the block size must be 1 to 65536 frames";
        return false;
    }
    if (options.precision == 64 && !plugin.canDoubleReplacing()) {
        *error = "the module cannot process double precision; use --precision 32";
        return false;
    }
    if (plugin.effect()->processReplacing == nullptr && options.precision == 32) {
        *error = "the module cannot process single precision";
        return false;
    }
    return true;
}

// Renders the opened input into `out`; checks afterwards that the whole
// input was read (unless allowShort).
bool renderOpened(const VstPlugin& plugin, const RenderOptions& options, InputFile& in,
                  RenderSink* out, RenderSummary* summary, std::string* error) {
    const std::string rateWarning = in.rateWarning();
    if (!rateWarning.empty()) summary->warnings.push_back(rateWarning);

    // What a host sends before it starts processing.
    plugin.host().setRecording(false);
    plugin.setSampleRate(static_cast<float>(in.info().samplerate));
    plugin.setBlockSize(options.blockSize);
    plugin.setMainsOn(true);
    plugin.dispatch(vst::effStartProcess);

    const bool rendered = options.precision == 32
                              ? renderLoop<float>(plugin, options, in, out, summary, error)
                              : renderLoop<double>(plugin, options, in, out, summary, error);
    plugin.dispatch(vst::effStopProcess);
    plugin.setMainsOn(false);
    return rendered;
}

// The short-read verdict: false with *error when the input ended early and
// that is not allowed; a warning when it is.
bool acceptRead(const RenderOptions& options, const InputFile& in, long long frames,
                RenderSummary* summary, std::string* error) {
    const std::string shortRead = in.shortReadProblem(frames);
    if (shortRead.empty()) return true;
    if (!options.allowShort) {
        *error = shortRead + "; nothing was written (--allow-short writes what could be read)";
        return false;
    }
    summary->warnings.push_back(shortRead + "; the output holds what could be read");
    return true;
}

// An output file opened for libsndfile through AtomicOutput.
bool openOutput(const std::string& path, int format, int sampleRate, int channels,
                AtomicOutput& output, SoundFile& file, std::string* error) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    if (!sf_format_check(&info)) {
        *error = "libsndfile cannot write that format at " + std::to_string(sampleRate) +
                 " Hz with " + std::to_string(channels) + " channels";
        return false;
    }
    if (!output.open(path, error)) return false;
    file.handle = openForWriting(output.temporaryPath(), &info);
    if (file.handle == nullptr) {
        *error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    return true;
}

bool closeOutput(const std::string& path, SoundFile& file, std::string* error) {
    if (const int code = file.close(); code != 0) {
        *error = "cannot write " + path + ": " + sf_error_number(code);
        return false;
    }
    return true;
}

}  // namespace

bool renderFile(const VstPlugin& plugin, const RenderOptions& options, RenderSummary* summary,
                std::string* error) {
    if (!checkOptions(plugin, options, error)) return false;
    InputFile in;
    if (!in.open(options.inputPath, error)) return false;
    const int format = outputFormatFor(options.outputPath, options.bits, error);
    if (format == 0) return false;
    AtomicOutput output;
    SoundFile out;
    if (!openOutput(options.outputPath, format, in.info().samplerate, in.info().channels, output,
                    out, error))
        return false;
    SampleWriter writer(out.handle, format, in.info().channels, options.blockSize);
    if (!renderOpened(plugin, options, in, &writer, summary, error)) return false;
    if (!closeOutput(options.outputPath, out, error)) return false;
    if (!acceptRead(options, in, summary->frames, summary, error)) return false;
    return output.commit(error);
}

bool renderToSink(const VstPlugin& plugin, const RenderOptions& options, RenderSink* sink,
                  RenderSummary* summary, std::string* error) {
    if (!checkOptions(plugin, options, error)) return false;
    InputFile in;
    if (!in.open(options.inputPath, error)) return false;
    if (!renderOpened(plugin, options, in, sink, summary, error)) return false;
    return acceptRead(options, in, summary->frames, summary, error);
}

bool writeStoredRender(const std::string& path, int format, int sampleRate, int channels,
                       const SampleStore& store, std::string* error) {
    AtomicOutput output;
    SoundFile out;
    if (!openOutput(path, format, sampleRate, channels, output, out, error)) return false;
    if (!store.writeTo(out.handle)) {
        *error = "cannot write " + path + " (is the disk full?)";
        return false;
    }
    if (!closeOutput(path, out, error)) return false;
    return output.commit(error);
}

bool measureInput(const std::string& path, bool allowShort, const MeterOptions& meters,
                  InputMeasurement* measurement, std::string* error) {
    InputFile in;
    if (!in.open(path, error)) return false;
    const SF_INFO& info = in.info();
    auto meter = std::make_shared<StreamMeter>(info.channels, info.samplerate,
                                               RenderAnalysis::kWindowFrames, meters);
    constexpr int kBlock = 16384;
    std::vector<double> buffer(static_cast<std::size_t>(kBlock) * info.channels);
    long long frames = 0;
    for (;;) {
        const sf_count_t read = in.read(buffer.data(), kBlock);
        if (read <= 0) break;
        meter->add(buffer.data(), static_cast<std::size_t>(read));
        frames += read;
        if (read < kBlock) break;
    }
    meter->finish();
    RenderOptions options;
    options.allowShort = allowShort;
    RenderSummary ignored;
    if (!acceptRead(options, in, frames, &ignored, error)) return false;
    measurement->info = info;
    measurement->meter = std::move(meter);
    measurement->warnings = std::move(ignored.warnings);
    return true;
}

}  // namespace kt
