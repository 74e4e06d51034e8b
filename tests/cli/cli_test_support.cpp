#include "tests/cli/cli_test_support.h"

#include <ebur128.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kt::test {

bool readAudio(const std::string& path, AudioFile* file) {
    SF_INFO info{};
    SNDFILE* handle = sf_open(path.c_str(), SFM_READ, &info);
    if (handle == nullptr) return false;
    file->sampleRate = info.samplerate;
    file->channels = info.channels;
    file->samples.assign(static_cast<std::size_t>(info.frames * info.channels), 0.0);
    const sf_count_t read = sf_readf_double(handle, file->samples.data(), info.frames);
    sf_close(handle);
    return read == info.frames;
}

bool writeFloatWav(const std::string& path, const AudioFile& file) {
    SF_INFO info{};
    info.samplerate = file.sampleRate;
    info.channels = file.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* handle = sf_open(path.c_str(), SFM_WRITE, &info);
    if (handle == nullptr) return false;
    const auto frames = static_cast<sf_count_t>(file.frames());
    const bool ok = sf_writef_double(handle, file.samples.data(), frames) == frames;
    sf_close(handle);
    return ok;
}

AudioFile fromStereo(const StereoSignal& signal) {
    AudioFile file;
    file.sampleRate = signal.sampleRate;
    file.channels = 2;
    for (std::size_t i = 0; i < signal.frames(); ++i) {
        file.samples.push_back(signal.left[i]);
        file.samples.push_back(signal.right[i]);
    }
    return file;
}

std::size_t loudestFrame(const AudioFile& file, int channel) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < file.frames(); ++i) {
        if (std::fabs(file.at(i, channel)) > std::fabs(file.at(best, channel))) best = i;
    }
    return best;
}

AudioFile generatedMaterial(Crest crest, double seconds, int channels, int sampleRate) {
    AudioFile file;
    file.sampleRate = sampleRate;
    file.channels = channels;
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    std::uint32_t seed = 12345;
    auto noise = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
    };
    double lowPass[2] = {0.0, 0.0};
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        for (int c = 0; c < channels; ++c) {
            double v = 0.0;
            if (crest == Crest::kDense) {
                lowPass[c] += 0.3 * (noise() - lowPass[c]);
                v = lowPass[c] + 0.3 * std::sin(2.0 * M_PI * 110.0 * t + c);
            } else {
                const double since = std::fmod(t, 0.5);
                v = 0.01 * noise() +
                    std::exp(-since * 40.0) * std::sin(2.0 * M_PI * (220.0 + 30.0 * c) * since);
            }
            file.samples.push_back(v);
        }
    }
    double peak = 0.0;
    for (double v : file.samples) peak = std::max(peak, std::fabs(v));
    for (double& v : file.samples) v *= 0.891 / peak;
    return file;
}

Levels measureLevels(const std::vector<const AudioFile*>& files) {
    std::vector<ebur128_state*> states;
    Levels levels;
    double peak = 0.0;
    for (const AudioFile* file : files) {
        ebur128_state* state = ebur128_init(static_cast<unsigned>(file->channels),
                                            static_cast<unsigned long>(file->sampleRate),
                                            EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
        ebur128_add_frames_double(state, file->samples.data(), file->frames());
        for (int c = 0; c < file->channels; ++c) {
            double channelPeak = 0.0;
            ebur128_true_peak(state, static_cast<unsigned>(c), &channelPeak);
            peak = std::max(peak, channelPeak);
        }
        states.push_back(state);
    }
    ebur128_loudness_global_multiple(states.data(), states.size(), &levels.loudness);
    levels.truePeak = 20.0 * std::log10(peak);
    for (ebur128_state*& state : states) ebur128_destroy(&state);
    return levels;
}

}  // namespace kt::test
