#include "cli/render.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

namespace kt {
namespace {

sf_count_t readFrames(SNDFILE* file, float* to, sf_count_t frames) {
    return sf_readf_float(file, to, frames);
}
sf_count_t readFrames(SNDFILE* file, double* to, sf_count_t frames) {
    return sf_readf_double(file, to, frames);
}
sf_count_t writeFrames(SNDFILE* file, const float* from, sf_count_t frames) {
    return sf_writef_float(file, from, frames);
}
sf_count_t writeFrames(SNDFILE* file, const double* from, sf_count_t frames) {
    return sf_writef_double(file, from, frames);
}

void processBlock(const VstPlugin& plugin, float** in, float** out, int frames) {
    plugin.process(in, out, frames);
}
void processBlock(const VstPlugin& plugin, double** in, double** out, int frames) {
    plugin.processDouble(in, out, frames);
}

struct SoundFile {
    SNDFILE* handle = nullptr;
    ~SoundFile() {
        if (handle != nullptr) sf_close(handle);
    }
};

// A bar on standard error, redrawn when the percentage changes.
class ProgressBar {
  public:
    ProgressBar(bool enabled, long long total) : enabled_(enabled && total > 0), total_(total) {}
    void update(long long done) {
        if (!enabled_) return;
        const int percent = static_cast<int>(std::min<long long>(100, done * 100 / total_));
        if (percent == shown_) return;
        shown_ = percent;
        char bar[41];
        const int filled = percent * 40 / 100;
        for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
        bar[40] = '\0';
        std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
        std::fflush(stderr);
    }
    ~ProgressBar() {
        if (enabled_ && shown_ >= 0) std::fputs("\r\033[K", stderr);
    }

  private:
    bool enabled_;
    long long total_;
    int shown_ = -1;
};

// The render proper, in the sample type of the processing precision. The
// effect's output frame m belongs to input frame m - latency; after the end
// of the input, silence is fed until the last input frame has come out.
template <typename Sample>
bool renderLoop(const VstPlugin& plugin, const RenderOptions& options, SNDFILE* in, SNDFILE* out,
                const SF_INFO& info, RenderSummary* summary, std::string* error) {
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
    if (options.analyse) analysis.emplace(channels, info.samplerate);
    ProgressBar progress(options.progress, info.frames);
    std::chrono::steady_clock::duration processTime{};

    long long inputFrames = 0;  // frames read from the file so far
    long long moduleFrame = 0;  // index of the effect's next output frame
    bool endOfInput = false;
    for (;;) {
        int fromFile = 0;
        if (!endOfInput) {
            fromFile = static_cast<int>(readFrames(in, readBuffer.data(), block));
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
        if (!options.keepLatency) {
            written = writeFrames(out, alignedBuffer.data(), aligned) == aligned;
        } else {
            const long long rawEnd = std::min(moduleFrame + frames, inputFrames);
            int raw = 0;
            for (long long m = moduleFrame; m < rawEnd; ++m, ++raw) {
                const long long k = m - moduleFrame;
                for (int c = 0; c < channels; ++c) rawBuffer[raw * channels + c] = outputs[c][k];
            }
            written = writeFrames(out, rawBuffer.data(), raw) == raw;
        }
        if (!written) {
            *error = "cannot write " + options.outputPath + ": " + sf_strerror(out);
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
        summary->input = analysis->input().figures();
        summary->output = analysis->output().figures();
        // Windows whose driven input stays 6 dB below full scale are left out.
        summary->deepestReductionDb =
            deepestGainReductionDb(analysis->input().windowPeaks(),
                                   analysis->output().windowPeaks(), options.expectedGain, 0.5);
    }
    summary->processSeconds = std::chrono::duration<double>(processTime).count();
    summary->audioSeconds = static_cast<double>(inputFrames) / info.samplerate;
    return true;
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

int outputFormatFor(const std::string& path, OutputBits bits, std::string* error) {
    const std::string ext = lowerExtension(path);
    const int pcm = bits == OutputBits::k16   ? SF_FORMAT_PCM_16
                    : bits == OutputBits::k24 ? SF_FORMAT_PCM_24
                                              : SF_FORMAT_FLOAT;
    if (ext == ".wav") return SF_FORMAT_WAV | pcm;
    if (ext == ".w64") return SF_FORMAT_W64 | pcm;
    if (ext == ".aiff" || ext == ".aif") return SF_FORMAT_AIFF | pcm;
    if (ext == ".caf") return SF_FORMAT_CAF | pcm;
    if (ext == ".flac") {
        if (bits == OutputBits::k32Float) {
            *error = "FLAC holds 16 or 24 bits, not 32f";
            return 0;
        }
        return SF_FORMAT_FLAC | pcm;
    }
    if (ext == ".ogg" || ext == ".oga") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    *error = "cannot tell the output format from \"" + path +
             "\"; use .wav, .flac, .aiff, .ogg, .w64 or .caf";
    return 0;
}

bool renderFile(const VstPlugin& plugin, const RenderOptions& options, RenderSummary* summary,
                std::string* error) {
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

    SF_INFO inInfo{};
    SoundFile in;
    in.handle = sf_open(options.inputPath.c_str(), SFM_READ, &inInfo);
    if (in.handle == nullptr) {
        *error = "cannot read " + options.inputPath + ": " + sf_strerror(nullptr);
        return false;
    }
    if (inInfo.channels < 1 || inInfo.channels > 2) {
        *error = options.inputPath + " has " + std::to_string(inInfo.channels) +
                 " channels; the limiter takes mono or stereo files only";
        return false;
    }
    const int format = outputFormatFor(options.outputPath, options.bits, error);
    if (format == 0) return false;
    SF_INFO outInfo{};
    outInfo.samplerate = inInfo.samplerate;
    outInfo.channels = inInfo.channels;
    outInfo.format = format;
    if (!sf_format_check(&outInfo)) {
        *error = "libsndfile cannot write that format at " + std::to_string(inInfo.samplerate) +
                 " Hz with " + std::to_string(inInfo.channels) + " channels";
        return false;
    }
    SoundFile out;
    out.handle = sf_open(options.outputPath.c_str(), SFM_WRITE, &outInfo);
    if (out.handle == nullptr) {
        *error = "cannot write " + options.outputPath + ": " + sf_strerror(nullptr);
        return false;
    }
    // Converting to integers clips instead of wrapping around.
    sf_command(out.handle, SFC_SET_CLIPPING, nullptr, SF_TRUE);

    // What a host sends before it starts processing.
    plugin.host().setRecording(false);
    plugin.setSampleRate(static_cast<float>(inInfo.samplerate));
    plugin.setBlockSize(options.blockSize);
    plugin.setMainsOn(true);
    plugin.dispatch(vst::effStartProcess);

    const bool rendered =
        options.precision == 32
            ? renderLoop<float>(plugin, options, in.handle, out.handle, inInfo, summary, error)
            : renderLoop<double>(plugin, options, in.handle, out.handle, inInfo, summary, error);
    plugin.dispatch(vst::effStopProcess);
    plugin.setMainsOn(false);
    return rendered;
}

}  // namespace kt
