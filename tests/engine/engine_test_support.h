// An engine at the factory defaults, test signals and a block-wise runner.
#pragma once

#include <memory>
#include <vector>

#include "engine/limiter_engine.h"

namespace kt::test {

// The values of the "Default" factory preset, indices 0..21.
extern const float kDefaultValues[22];

// A new engine at 44100 Hz (or the given rate) with the defaults applied.
std::unique_ptr<LimiterEngine> makeEngine(float rate = 44100.0f);

struct Stereo {
    std::vector<double> l;
    std::vector<double> r;
    explicit Stereo(size_t n = 0) : l(n, 0.0), r(n, 0.0) {}
    size_t size() const { return l.size(); }
};

// A dense mix-like signal (partials and seeded noise), peak roughly `peak`.
Stereo mixSignal(size_t frames, double rate, double peak, unsigned seed = 1);
Stereo sine(size_t frames, double rate, double freq, double amplitude);

// Runs the signal through the engine in blocks of `block` frames.
Stereo run(LimiterEngine& engine, const Stereo& in, int block = 512);

double peakOf(const std::vector<double>& v, size_t from = 0, size_t to = SIZE_MAX);
double rmsOf(const std::vector<double>& v, size_t from = 0, size_t to = SIZE_MAX);

}  // namespace kt::test
