#include "cli/render.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "cli/atomic_output.h"
#include "cli/file_checks.h"
#include "cli/sample_writer.h"

namespace kt {
namespace {

sf_count_t readFrames(SNDFILE* file, float* to, sf_count_t frames) {
    return sf_readf_float(file, to, frames);
}
sf_count_t readFrames(SNDFILE* file, double* to, sf_count_t frames) {
    return sf_readf_double(file, to, frames);
}

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

std::string frameCount(long long frames) {
    return std::to_string(frames) + (frames == 1 ? " frame" : " frames");
}

// Bytes per frame of an uncompressed sample format; 0 for other formats.
int frameBytes(const SF_INFO& info) {
    switch (info.format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW:
            return info.channels;
        case SF_FORMAT_PCM_16:
            return 2 * info.channels;
        case SF_FORMAT_PCM_24:
            return 3 * info.channels;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT:
            return 4 * info.channels;
        case SF_FORMAT_DOUBLE:
            return 8 * info.channels;
        default:
            return 0;
    }
}

// The length a file's header announces, in frames; -1 when it is unknown.
// libsndfile trims its own count of a WAV or AIFF file to the bytes present,
// so for those the size of the audio data chunk is read from the header.
long long announcedFrames(SNDFILE* file, const SF_INFO& info) {
    long long frames = info.frames == SF_COUNT_MAX ? -1 : info.frames;
    const int container = info.format & SF_FORMAT_TYPEMASK;
    const bool wav = container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX;
    const int bytesPerFrame = frameBytes(info);
    if ((!wav && container != SF_FORMAT_AIFF) || bytesPerFrame == 0) return frames;
    SF_CHUNK_INFO wanted{};
    std::strcpy(wanted.id, wav ? "data" : "SSND");
    wanted.id_size = 4;
    SF_CHUNK_INFO found{};
    SF_CHUNK_ITERATOR* chunk = sf_get_chunk_iterator(file, &wanted);
    if (chunk == nullptr || sf_get_chunk_size(chunk, &found) != SF_ERR_NO_ERROR) return frames;
    // Writers that stream leave the size at 0 or all ones; AIFF's SSND
    // starts with two words (offset and block size) before the samples.
    if (found.datalen == 0 || found.datalen == 0xFFFFFFFFu) return frames;
    const long long bytes = static_cast<long long>(found.datalen) - (wav ? 0 : 8);
    return std::max(frames, bytes / bytesPerFrame);
}

// Why the frames read fall short of the input, or empty when they do not.
std::string shortReadProblem(const std::string& path, SNDFILE* in, const SF_INFO& info,
                             long long announced, long long read) {
    const std::string got = frameCount(read) + " could be read";
    const std::string why =
        sf_error(in) != SF_ERR_NO_ERROR ? std::string(" (") + sf_strerror(in) + ")" : "";
    if (announced >= 0 && read < announced)
        return path + " is damaged or cut short: its header announces " + frameCount(announced) +
               ", " + got + why;
    if (!why.empty()) return path + " is damaged: " + got + why;
    if (announced < 0 && info.seekable)
        return path + " is damaged or cut short: its end is missing; " + got;
    return {};
}

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
bool renderLoop(const VstPlugin& plugin, const RenderOptions& options, SNDFILE* in,
                SampleWriter& out, const SF_INFO& info, RenderSummary* summary,
                std::string* error) {
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
            written = out.write(alignedBuffer.data(), aligned);
        } else {
            const long long rawEnd = std::min(moduleFrame + frames, inputFrames);
            int raw = 0;
            for (long long m = moduleFrame; m < rawEnd; ++m, ++raw) {
                const long long k = m - moduleFrame;
                for (int c = 0; c < channels; ++c) rawBuffer[raw * channels + c] = outputs[c][k];
            }
            written = out.write(rawBuffer.data(), raw);
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

}  // namespace

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

    const std::string unreadable = inputFileProblem(options.inputPath);
    if (!unreadable.empty()) {
        *error = unreadable;
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
    if (inInfo.samplerate < kModuleLowestRate || inInfo.samplerate > kModuleHighestRate) {
        summary->warnings.push_back(
            options.inputPath + " is at " + std::to_string(inInfo.samplerate) +
            " Hz, outside the module's " + std::to_string(kModuleLowestRate) + " to " +
            std::to_string(kModuleHighestRate) +
            " Hz: it was processed as if at 44100 Hz, so its times and filters are off");
    }
    const long long announced = announcedFrames(in.handle, inInfo);

    AtomicOutput output;
    if (!output.open(options.outputPath, error)) return false;
    SoundFile out;
    out.handle = sf_open(output.temporaryPath().c_str(), SFM_WRITE, &outInfo);
    if (out.handle == nullptr) {
        *error = "cannot write " + options.outputPath + ": " + sf_strerror(nullptr);
        return false;
    }
    SampleWriter writer(out.handle, format, inInfo.channels, options.blockSize);

    // What a host sends before it starts processing.
    plugin.host().setRecording(false);
    plugin.setSampleRate(static_cast<float>(inInfo.samplerate));
    plugin.setBlockSize(options.blockSize);
    plugin.setMainsOn(true);
    plugin.dispatch(vst::effStartProcess);

    const bool rendered =
        options.precision == 32
            ? renderLoop<float>(plugin, options, in.handle, writer, inInfo, summary, error)
            : renderLoop<double>(plugin, options, in.handle, writer, inInfo, summary, error);
    plugin.dispatch(vst::effStopProcess);
    plugin.setMainsOn(false);
    if (!rendered) return false;
    if (const int code = out.close(); code != 0) {
        *error = "cannot write " + options.outputPath + ": " + sf_error_number(code);
        return false;
    }
    const std::string shortRead =
        shortReadProblem(options.inputPath, in.handle, inInfo, announced, summary->frames);
    if (!shortRead.empty()) {
        if (!options.allowShort) {
            *error = shortRead + "; nothing was written (--allow-short writes what could be read)";
            return false;
        }
        summary->warnings.push_back(shortRead + "; the output holds what could be read");
    }
    return output.commit(error);
}

}  // namespace kt
