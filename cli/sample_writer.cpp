#include "cli/sample_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "cli/output_format.h"

namespace kt {

SNDFILE* openForWriting(const std::string& path, SF_INFO* info) {
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, info);
    if (file != nullptr) sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return file;
}

namespace {

// x on a grid of 2^(bits-1) steps per unit, rounded to the nearest step and
// clipped, as the left-justified 32-bit word libsndfile takes for any integer
// word length.
int roundedWord(double x, int bits) {
    const double scale = static_cast<double>(std::int64_t{1} << (bits - 1));
    const double v = std::isnan(x) ? 0.0 : std::clamp(x * scale, -scale, scale - 1.0);
    const std::int64_t step = std::llrint(v);
    return static_cast<int>(step * (std::int64_t{1} << (32 - bits)));
}

}  // namespace

SampleWriter::SampleWriter(SNDFILE* file, int format, int channels, int maxFrames)
    : file_(file), bits_(integerBitsOf(format)), channels_(channels) {
    if (bits_ > 0) words_.resize(static_cast<std::size_t>(maxFrames) * channels);
}

template <typename Sample>
bool SampleWriter::writeRounded(const Sample* frames, int count) {
    const std::size_t samples = static_cast<std::size_t>(count) * channels_;
    for (std::size_t i = 0; i < samples; ++i) words_[i] = roundedWord(frames[i], bits_);
    return sf_writef_int(file_, words_.data(), count) == count;
}

bool SampleWriter::write(const float* frames, int count) {
    if (bits_ > 0) return writeRounded(frames, count);
    return sf_writef_float(file_, frames, count) == count;
}

bool SampleWriter::write(const double* frames, int count) {
    if (bits_ > 0) return writeRounded(frames, count);
    return sf_writef_double(file_, frames, count) == count;
}

SampleStore::SampleStore(int format, int channels, long long expectedFrames)
    : bits_(integerBitsOf(format)), channels_(channels) {
    const std::size_t samples = static_cast<std::size_t>(std::max(0LL, expectedFrames)) * channels;
    if (bits_ > 0) {
        words_.reserve(samples);
    } else {
        floats_.reserve(samples);
    }
}

template <typename Sample>
void SampleStore::append(const Sample* frames, int count) {
    const std::size_t samples = static_cast<std::size_t>(count) * channels_;
    if (bits_ > 0) {
        for (std::size_t i = 0; i < samples; ++i) words_.push_back(roundedWord(frames[i], bits_));
    } else {
        for (std::size_t i = 0; i < samples; ++i) floats_.push_back(static_cast<float>(frames[i]));
    }
}

bool SampleStore::write(const float* frames, int count) {
    append(frames, count);
    return true;
}

bool SampleStore::write(const double* frames, int count) {
    append(frames, count);
    return true;
}

bool SampleStore::writeTo(SNDFILE* file) const {
    const std::size_t channels = static_cast<std::size_t>(channels_);
    const std::size_t frames = (bits_ > 0 ? words_.size() : floats_.size()) / channels;
    constexpr std::size_t kBlock = 4096;
    for (std::size_t done = 0; done < frames; done += kBlock) {
        const auto n = static_cast<sf_count_t>(std::min(kBlock, frames - done));
        const sf_count_t written = bits_ > 0
                                       ? sf_writef_int(file, words_.data() + done * channels, n)
                                       : sf_writef_float(file, floats_.data() + done * channels, n);
        if (written != n) return false;
    }
    return true;
}

}  // namespace kt
