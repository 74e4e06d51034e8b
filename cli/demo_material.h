// The demo excerpt: a short, deterministic, mix-like stereo signal (kick and
// snare transients, bass, chords, hats, stereo width) for the demo render,
// the benchmark and the end-to-end checks. Synthesised here, so no audio
// file needs to be shipped.
#pragma once

#include <string>
#include <vector>

namespace kt {

struct StereoSignal {
    int sampleRate = 44100;
    std::vector<double> left;
    std::vector<double> right;
    std::size_t frames() const { return left.size(); }
};

constexpr double kDemoSeconds = 8.0;
// Sample peak of the excerpt: a mastered-mix level that leaves the limiter
// work to do once driven.
constexpr double kDemoPeak = 0.944;  // -0.5 dBFS

// The same samples on every call and every machine (integer noise, no
// library randomness).
StereoSignal generateDemoMaterial(int sampleRate = 44100, double seconds = kDemoSeconds);

// Writes a stereo signal in a libsndfile format (see outputFormatFor),
// replacing an existing file only once the whole signal is written. False
// with *error set on failure.
bool writeStereoFile(const std::string& path, const StereoSignal& signal, int format,
                     std::string* error);

}  // namespace kt
