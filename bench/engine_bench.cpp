// The double-precision limiter loop on a loud, mix-like stereo signal in blocks
// of 512 frames, at 44.1, 96 and 192 kHz, for four settings:
//   plain      Oversample off
//   truepeak   Oversample on (4x at 44.1 kHz, 2x at 96 kHz, none at 192 kHz)
//   meterovs   Oversample and MeterOvs on
//   all        Oversample, MeterOvs and Quantize (16 bits, noise shape "type D", 32 taps)
// Counters: per_frame (CPU seconds per stereo frame) and x_realtime (audio
// seconds per CPU second of one core).
// Parts of the loop on their own, per stereo frame: the requantizer with the
// 12- and 32-coefficient shapes, and the 2x and 4x interpolators over a
// sliding history.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "engine/interpolators.h"
#include "engine/limiter_engine.h"
#include "engine/noise_shaping_tables.h"
#include "engine/parameters.h"
#include "engine/requantizer.h"

namespace {

constexpr int kBlock = 512;

// Kick, bass, chords and noise, peaking near 0 dBFS; with +9 dB of drive the
// limiter works all the time.
void makeMix(double rate, size_t frames, std::vector<double>& l, std::vector<double>& r) {
    l.resize(frames);
    r.resize(frames);
    std::mt19937 gen(11);
    std::normal_distribution<double> noise(0.0, 1.0);
    const double tau = 2.0 * std::numbers::pi;
    double nl = 0.0, nr = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = i / rate;
        const double beat = std::fmod(t, 0.5);
        const double kick = std::exp(-beat * 30.0) * std::sin(tau * 55.0 * beat);
        const double bass = 0.5 * std::sin(tau * 82.4 * t);
        const double chord = 0.25 * (std::sin(tau * 440.0 * t) + std::sin(tau * 659.3 * t));
        nl += 0.3 * (noise(gen) - nl);
        nr += 0.3 * (noise(gen) - nr);
        l[i] = 0.4 * (kick + bass + chord + 0.3 * nl);
        r[i] = 0.4 * (kick + 0.9 * bass + 0.8 * chord + 0.3 * nr);
    }
}

enum Setting { kPlain, kTruePeak, kMeterOvsOn, kAll };

void engineLoop(benchmark::State& state) {
    const double rate = static_cast<double>(state.range(0));
    const auto setting = static_cast<Setting>(state.range(1));
    auto engine = std::make_unique<kt::LimiterEngine>();
    const float defaults[22] = {1.0f,  0.5f,   0.2f,  0.7237f, 0.166667f, 1.0f, 0.0f, 0.0f,
                                1.0f,  0.165f, 1.0f,  0.0f,    0.0f,      1.0f, 0.0f, 0.0f,
                                0.25f, 0.0f,   0.25f, 0.0f,    0.9375f,   0.0f};
    for (int i = 0; i < 22; ++i) engine->setParameter(i, defaults[i]);
    engine->setParameter(kt::kDrive, 0.5f + 9.0f / 48.0f);
    engine->setParameter(kt::kOversample, setting >= kTruePeak ? 1.0f : 0.0f);
    engine->setParameter(kt::kMeterOvs, setting >= kMeterOvsOn ? 1.0f : 0.0f);
    if (setting == kAll) {
        engine->setParameter(kt::kQuantize, 1.0f);
        engine->setParameter(kt::kBits, kt::paramLongToCont(2, 5));
        engine->setParameter(kt::kNoiseShape, kt::paramLongToCont(4, 7));
    }
    engine->setSampleRate(static_cast<float>(rate));

    std::vector<double> inL, inR;
    const size_t frames = static_cast<size_t>(rate) * 2;  // two seconds, looped
    makeMix(rate, frames, inL, inR);
    std::vector<double> outL(kBlock), outR(kBlock);
    size_t pos = 0;
    for (auto _ : state) {
        engine->process(inL.data() + pos, inR.data() + pos, outL.data(), outR.data(), kBlock);
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        pos += kBlock;
        if (pos + kBlock > frames) pos = 0;
    }
    // Seconds per stereo frame (shown with an SI prefix, e.g. "75n") and
    // seconds of audio per second of processing.
    state.counters["per_frame"] = benchmark::Counter(
        kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] =
        benchmark::Counter(kBlock / rate, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(kt::interpolatorsUseAvx2() ? "avx2" : "sse2");
}

void settings(benchmark::internal::Benchmark* b) {
    b->ArgNames({"rate", "setting"});
    for (int rate : {44100, 96000, 192000})
        for (int s = kPlain; s <= kAll; ++s) b->Args({rate, s});
}

BENCHMARK(engineLoop)->Apply(settings)->Unit(benchmark::kMicrosecond);

void perFrame(benchmark::State& state) {
    state.counters["per_frame"] = benchmark::Counter(
        kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A block through the requantizer, built for AVX2 like the loop that inlines it.
__attribute__((target("avx2,fma"))) void requantizeBlock(kt::Requantizer& rq, const double* l,
                                                         const double* r, double* out,
                                                         const double* table, int order,
                                                         int& position, kt::DitherGenerator& d) {
    for (int i = 0; i < kBlock; ++i) {
        double a = l[i], b = r[i];
        rq.process<true>(a, b, table, order, position, false, 0.0, d);
        out[i] = a + b;
    }
}

void requantizer(benchmark::State& state) {
    const int shape = static_cast<int>(state.range(0));
    if (!kt::interpolatorsUseAvx2()) {
        state.SkipWithError("needs AVX2");
        return;
    }
    std::vector<double> l, r, out(kBlock);
    makeMix(44100.0, kBlock, l, r);
    kt::Requantizer rq;
    rq.setBits(2);
    rq.clearErrors();
    kt::DitherGenerator d;
    d.seed();
    int position = 0;
    const double* table = kt::noiseShapeCoefficients(shape, 0).data();
    for (auto _ : state) {
        requantizeBlock(rq, l.data(), r.data(), out.data(), table, kt::noiseShapeOrder(shape),
                        position, d);
        benchmark::DoNotOptimize(out.data());
    }
    perFrame(state);
}
BENCHMARK(requantizer)->ArgName("shape")->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

void interpolator(benchmark::State& state) {
    const bool quarter = state.range(0) == 4;
    std::vector<double> l, r;
    makeMix(44100.0, kBlock, l, r);
    kt::StereoHistory history;
    double sink = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) {
            history.push(l[i], r[i]);
            const kt::StereoValue v =
                quarter ? kt::quarterPeak(history.window()) : kt::halfbandPeak(history.window());
            sink += v.l + v.r;
        }
        benchmark::DoNotOptimize(sink);
    }
    perFrame(state);
    state.SetLabel(kt::interpolatorsUseAvx2() ? "avx2" : "sse2");
}
BENCHMARK(interpolator)->ArgName("factor")->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
