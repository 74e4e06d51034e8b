#include "tests/engine/engine_test_support.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "engine/parameters.h"

namespace kt::test {

const float kDefaultValues[22] = {1.0f,  0.5f,   0.2f,  0.7237f, 0.166667f, 1.0f, 0.0f, 0.0f,
                                  1.0f,  0.165f, 1.0f,  0.0f,    0.0f,      1.0f, 0.0f, 0.0f,
                                  0.25f, 0.0f,   0.25f, 0.0f,    0.9375f,   0.0f};

std::unique_ptr<LimiterEngine> makeEngine(float rate) {
    auto engine = std::make_unique<LimiterEngine>();
    for (int i = 0; i < 22; ++i) engine->setParameter(i, kDefaultValues[i]);
    engine->setSampleRate(rate);
    return engine;
}

Stereo mixSignal(size_t frames, double rate, double peak, unsigned seed) {
    Stereo s(frames);
    std::mt19937 gen(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    const double tau = 2.0 * std::numbers::pi;
    double lowpassL = 0.0, lowpassR = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = i / rate;
        // A kick every half second, a bass line, chords and filtered noise.
        const double beat = std::fmod(t, 0.5);
        const double kick = std::exp(-beat * 30.0) *
                            std::sin(tau * 55.0 * beat * (1.0 + 2.0 * std::exp(-beat * 40.0)));
        const double bass = 0.5 * std::sin(tau * 82.4 * t) * (0.6 + 0.4 * std::sin(tau * 0.5 * t));
        const double chord = 0.25 * (std::sin(tau * 440.0 * t) + std::sin(tau * 554.4 * t + 0.3) +
                                     std::sin(tau * 659.3 * t + 1.1));
        lowpassL += 0.3 * (noise(gen) - lowpassL);
        lowpassR += 0.3 * (noise(gen) - lowpassR);
        s.l[i] = 0.35 * (kick + bass + chord + 0.3 * lowpassL);
        s.r[i] = 0.35 * (kick + 0.9 * bass + 0.8 * chord + 0.3 * lowpassR);
    }
    const double m = std::max(peakOf(s.l), peakOf(s.r));
    for (size_t i = 0; i < frames; ++i) {
        s.l[i] *= peak / m;
        s.r[i] *= peak / m;
    }
    return s;
}

Stereo sine(size_t frames, double rate, double freq, double amplitude) {
    Stereo s(frames);
    for (size_t i = 0; i < frames; ++i) {
        s.l[i] = s.r[i] = amplitude * std::sin(2.0 * std::numbers::pi * freq * i / rate);
    }
    return s;
}

Stereo run(LimiterEngine& engine, const Stereo& in, int block) {
    Stereo out(in.size());
    for (size_t pos = 0; pos < in.size(); pos += block) {
        const int n = static_cast<int>(std::min<size_t>(block, in.size() - pos));
        engine.process(in.l.data() + pos, in.r.data() + pos, out.l.data() + pos, out.r.data() + pos,
                       n);
    }
    return out;
}

double peakOf(const std::vector<double>& v, size_t from, size_t to) {
    to = std::min(to, v.size());
    double m = 0.0;
    for (size_t i = from; i < to; ++i) m = std::max(m, std::fabs(v[i]));
    return m;
}

double rmsOf(const std::vector<double>& v, size_t from, size_t to) {
    to = std::min(to, v.size());
    double s = 0.0;
    for (size_t i = from; i < to; ++i) s += v[i] * v[i];
    return std::sqrt(s / std::max<size_t>(1, to - from));
}

}  // namespace kt::test
