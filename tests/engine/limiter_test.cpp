// The limiter loop as a whole.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "engine/parameters.h"
#include "tests/engine/engine_test_support.h"

namespace kt {
namespace {

using test::makeEngine;
using test::peakOf;
using test::run;
using test::Stereo;

TEST(Limiter, ImpulseAtDefaultsComesOutUnchangedAfterTheLatency) {
    for (float rate : {44100.0f, 96000.0f, 192000.0f}) {
        auto engine = makeEngine(rate);
        const int latency = engine->latency();
        Stereo in(4096);
        in.l[100] = 0.5;
        in.r[100] = -0.5;
        const Stereo out = run(*engine, in);
        for (size_t i = 0; i < out.size(); ++i) {
            const double want = (i == size_t(100 + latency)) ? 0.5 : 0.0;
            ASSERT_EQ(out.l[i], want) << "rate " << rate << " sample " << i;
            ASSERT_EQ(out.r[i], -want) << "rate " << rate << " sample " << i;
        }
    }
}

TEST(Limiter, PowerOffIsTheDelayedClampedInput) {
    auto engine = makeEngine();
    engine->setParameter(kPower, 0.0f);
    engine->setParameter(kDrive, 1.0f);  // bypass ignores drive
    Stereo in = test::mixSignal(8192, 44100.0, 1.4);
    // Where the clamp formula alone would give 1 + 2^-52, -(1 + 2^-50) and 2.
    in.l[1000] = 3.1474291766015994;
    in.r[1000] = -15.692040945448573;
    in.l[2000] = 9756443434940278.0;
    const Stereo out = run(*engine, in, 333);
    for (size_t i = 0; i < in.size(); ++i) {
        // (|x + 1| - |x - 1|) / 2 up to +-2 (may round in the last bit), +-1 beyond.
        const auto clamp = [](double x) {
            return x > 2.0    ? 1.0
                   : x < -2.0 ? -1.0
                              : (std::fabs(x + 1.0) - std::fabs(x - 1.0)) * 0.5;
        };
        const double wantL = i < 159 ? 0.0 : clamp(in.l[i - 159]);
        const double wantR = i < 159 ? 0.0 : clamp(in.r[i - 159]);
        ASSERT_LE(std::fabs(wantL), 1.0);
        ASSERT_EQ(out.l[i], wantL) << i;
        ASSERT_EQ(out.r[i], wantR) << i;
    }
}

// Either detector order holds the ceiling; they follow the onset differently.
TEST(Limiter, DrivenSineSettlesAtTheOutputCeiling) {
    std::vector<double> onset[2];
    for (int order = 0; order < 2; ++order) {
        for (int ovs = 0; ovs < 2; ++ovs) {
            auto engine = makeEngine();
            engine->setParameter(kTransient, 0.0f);
            engine->setParameter(kDrive, 1.0f);   // +24 dB
            engine->setParameter(kOutput, 0.9f);  // ceiling 2^(-0.2)
            engine->setParameter(kDetectorOrder, order ? 1.0f : 0.0f);
            engine->setParameter(kOversample, ovs ? 1.0f : 0.0f);
            const Stereo out = run(*engine, test::sine(44100, 44100.0, 1000.0, 0.9));
            const double ceiling = std::exp2(-0.2);
            // Sampled peaks of a 1 kHz sine wander 1e-4 over; true peak keeps its margin.
            const double allowed = ovs ? ceiling : ceiling * (1.0 + 1e-4);
            EXPECT_LE(peakOf(out.l, 22050), allowed) << order << ovs;
            EXPECT_GT(peakOf(out.l, 22050), ceiling * 0.97) << order << ovs;
            if (!ovs) onset[order].assign(out.l.begin(), out.l.begin() + 4410);
        }
    }
    EXPECT_NE(onset[0], onset[1]);
}

class Invariance : public ::testing::TestWithParam<int> {};

// Everything on, so every stage and every position wraps at block edges.
void busySettings(LimiterEngine& engine) {
    engine.setParameter(kDrive, 0.85f);
    engine.setParameter(kOversample, 1.0f);
    engine.setParameter(kDetectorOrder, 1.0f);
    engine.setParameter(kMeterOvs, 1.0f);
    engine.setParameter(kQuantize, 1.0f);
    engine.setParameter(kBits, paramLongToCont(2, 5));
    engine.setParameter(kNoiseShape, paramLongToCont(4, 7));
    engine.setParameter(kLeveller, 0.8f);
    engine.setParameter(kLink, 0.6f);
    engine.setParameter(kTransShape, paramLongToCont(2, 3));
}

TEST_P(Invariance, BlockSizeDoesNotChangeTheResult) {
    const Stereo in = test::mixSignal(12000, 44100.0, 1.2);
    auto reference = makeEngine();
    busySettings(*reference);
    auto engine = makeEngine();
    busySettings(*engine);
    const Stereo want = run(*reference, in, 4096), got = run(*engine, in, GetParam());
    EXPECT_EQ(got.l, want.l);
    EXPECT_EQ(got.r, want.r);
    float m1[10], m2[10];
    reference->getMeters(m1);
    engine->getMeters(m2);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(m1[i], m2[i]) << i;
    engine->suspend();  // a suspended engine starts over exactly
    EXPECT_EQ(run(*engine, in, GetParam()).r, want.r);
}

INSTANTIATE_TEST_SUITE_P(Blocks, Invariance, ::testing::Values(1, 7, 64));

// Single precision is the double result rounded, also when blocks switch precision.
TEST(Limiter, SingleAndDoublePrecisionAgreeAfterRounding) {
    Stereo in = test::mixSignal(9216, 44100.0, 1.3);
    for (size_t i = 0; i < in.size(); ++i) {  // inputs exactly floats: both paths see the same
        in.l[i] = static_cast<float>(in.l[i]);
        in.r[i] = static_cast<float>(in.r[i]);
    }
    auto e64 = makeEngine();
    auto mixed = makeEngine();
    busySettings(*e64);
    busySettings(*mixed);
    const Stereo want = run(*e64, in, 256);
    std::vector<float> fl(256), fr(256), ol(256), orr(256);
    std::vector<double> l(256), r(256);
    for (size_t pos = 0; pos < in.size(); pos += 256) {
        if ((pos / 256) % 3 == 0) {
            mixed->process(in.l.data() + pos, in.r.data() + pos, l.data(), r.data(), 256);
            for (int i = 0; i < 256; ++i) ASSERT_EQ(l[i], want.l[pos + i]) << pos + i;
            continue;
        }
        std::copy_n(in.l.begin() + pos, 256, fl.begin());
        std::copy_n(in.r.begin() + pos, 256, fr.begin());
        mixed->process(fl.data(), fr.data(), ol.data(), orr.data(), 256);
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(ol[i], static_cast<float>(want.l[pos + i])) << pos + i;
            ASSERT_EQ(orr[i], static_cast<float>(want.r[pos + i])) << pos + i;
        }
    }
}

TEST(Limiter, LinkAmountControlsCrossChannelReduction) {
    Stereo in(44100);
    for (size_t i = 0; i < in.size(); ++i) {
        in.l[i] = 0.9 * std::sin(2.0 * M_PI * 500.0 * i / 44100.0);
        in.r[i] = 0.02 * std::sin(2.0 * M_PI * 700.0 * i / 44100.0);
    }
    for (float link : {0.0f, 1.0f}) {
        auto engine = makeEngine();
        engine->setParameter(kDrive, 1.0f);
        engine->setParameter(kTransient, 0.0f);
        engine->setParameter(kLink, link);
        engine->setParameter(kAttShow, 1.0f);
        const Stereo out = run(*engine, in);
        float meters[10];
        engine->getMeters(meters);
        EXPECT_LT(meters[8], 0.2f);
        // Unlinked the quiet right channel is left alone; linked it follows the left.
        EXPECT_NEAR(meters[9], link == 0.0f ? 1.0f : meters[8], 1e-6);
    }
}

TEST(Limiter, LevellerAtMaximumIsUnityWhateverTheLevel) {
    // With only the "L" trace shown the gain minimum is the leveller gain.
    const Stereo in = test::mixSignal(44100, 44100.0, 1.0);
    for (float v : {1.0f, 0.5f}) {
        auto engine = makeEngine();
        engine->setParameter(kDrive, 1.0f);
        engine->setParameter(kAttShow, paramLongToCont(4, 8));
        engine->setParameter(kLeveller, v);
        run(*engine, in);
        float meters[10];
        engine->getMeters(meters);
        EXPECT_EQ(meters[8] == 1.0f, v == 1.0f);
        EXPECT_LT(meters[8], v == 1.0f ? 1.5f : 0.5f);
        EXPECT_EQ(meters[8], meters[9]);  // one leveller for both channels
    }
}

TEST(Limiter, MonoInputAndMissingOrSharedOutput) {
    const Stereo in = test::mixSignal(4096, 44100.0, 1.3);
    auto stereo = makeEngine();
    Stereo mono = in;
    mono.r = in.l;
    const Stereo want = run(*stereo, mono);

    // Mono input (inR == inL), no second output: only the left one is written.
    auto engine = makeEngine();
    std::vector<double> out(in.size(), 7.0);
    for (size_t pos = 0; pos < in.size(); pos += 512)
        engine->process(in.l.data() + pos, in.l.data() + pos, out.data() + pos, nullptr, 512);
    EXPECT_EQ(out, want.l);

    // Both outputs one buffer, in place over the input: the left result remains.
    auto shared = makeEngine();
    Stereo diff = in;
    for (auto& v : diff.r) v *= -0.5;
    auto reference = makeEngine();
    const Stereo wantDiff = run(*reference, diff);
    std::vector<double> buffer = diff.l;
    for (size_t pos = 0; pos < in.size(); pos += 512)
        shared->process(buffer.data() + pos, diff.r.data() + pos, buffer.data() + pos,
                        buffer.data() + pos, 512);
    EXPECT_EQ(buffer, wantDiff.l);
}

TEST(Limiter, NonFiniteInputEntersAsZero) {
    Stereo in = test::mixSignal(8192, 44100.0, 1.0);
    Stereo clean = in;
    in.l[1000] = NAN;
    in.r[1500] = INFINITY;
    in.l[2000] = -INFINITY;
    clean.l[1000] = clean.r[1500] = clean.l[2000] = 0.0;
    for (int quantize = 0; quantize < 2; ++quantize) {
        auto a = makeEngine();
        auto b = makeEngine();
        for (auto* e : {a.get(), b.get()}) {
            e->setParameter(kOversample, 1.0f);
            e->setParameter(kQuantize, quantize ? 1.0f : 0.0f);
        }
        const Stereo got = run(*a, in), want = run(*b, clean);
        EXPECT_EQ(got.l, want.l);
        EXPECT_EQ(got.r, want.r);
        float meters[10];
        a->getMeters(meters);
        for (float m : meters) EXPECT_TRUE(std::isfinite(m));
    }
}

TEST(Limiter, BlockWithoutTheLockWritesSilenceAndLeavesTheState) {
    const Stereo in = test::mixSignal(2048, 44100.0, 1.0);
    auto engine = makeEngine();
    auto reference = makeEngine();
    run(*engine, in);
    run(*reference, in);

    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        engine->engineLock().lock(0);
        held = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        engine->engineLock().unlock();
    });
    while (!held) std::this_thread::yield();
    std::vector<double> l(256, 5.0), r(256, 5.0);
    std::vector<float> fl(256, 5.0f), fr(256, 5.0f);
    const std::vector<float> fin(256, 0.5f);
    const auto start = std::chrono::steady_clock::now();
    engine->process(in.l.data(), in.r.data(), l.data(), r.data(), 256);
    engine->process(fin.data(), fin.data(), fl.data(), fr.data(), 256);
    const auto waited = std::chrono::steady_clock::now() - start;
    release = true;
    holder.join();
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_EQ(l, std::vector<double>(256, 0.0));
    EXPECT_EQ(r, std::vector<double>(256, 0.0));
    EXPECT_EQ(fl, std::vector<float>(256, 0.0f));
    EXPECT_EQ(fr, std::vector<float>(256, 0.0f));
    // The state did not move: both engines continue identically.
    EXPECT_EQ(run(*engine, in).l, run(*reference, in).l);
}

TEST(Limiter, RateAndShapeChangesWaitForTheLock) {
    auto engine = makeEngine();
    std::atomic<bool> held{false};
    std::thread holder([&] {
        engine->engineLock().lock(0);
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        engine->engineLock().unlock();
    });
    while (!held) std::this_thread::yield();
    // Longer than the 1000 ms a block would wait: these must still happen.
    EXPECT_EQ(engine->setSampleRate(96000.0f), 287);
    engine->setParameter(kTransShape, 0.9f);
    holder.join();
    EXPECT_EQ(engine->sampleRateHz(), 96000);
    EXPECT_EQ(engine->smoothLength(), 128);
}

TEST(Limiter, ParametersAndMetersFromOtherThreadsWhileProcessing) {
    // Exercises every cross-thread path; ThreadSanitizer builds check it for races.
    auto engine = makeEngine();
    const Stereo in = test::mixSignal(4096, 44100.0, 1.2);
    // The helpers stop and join when the test body ends, also on a failed assertion.
    std::jthread editor([&](std::stop_token stop) {
        float meters[10];
        for (int n = 0; !stop.stop_requested(); ++n) {
            const float v = static_cast<float>(n % 97) / 96.0f;
            engine->setParameter(n % 22 == kCalibrate ? kDrive : n % 22, v);
            if (n % 50 == 0) engine->setParameter(kTransShape, v);
            engine->getMeters(meters);
            for (float m : meters) EXPECT_TRUE(std::isfinite(m));
        }
    });
    std::jthread host([&](std::stop_token stop) {
        for (int i = 0; i < 20 && !stop.stop_requested(); ++i)
            engine->setSampleRate(i % 2 ? 48000.0f : 44100.0f);
    });
    // While parameters jump every sample still leaves through the final clamp: within +-1.
    constexpr double kClampBound = 1.0;
    for (int round = 0; round < 8; ++round) {
        const Stereo out = run(*engine, in, 256);
        for (size_t i = 0; i < out.size(); ++i) {
            ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i])) << i;
            ASSERT_LE(std::max(std::fabs(out.l[i]), std::fabs(out.r[i])), kClampBound) << i;
        }
    }
}

TEST(Limiter, ZeroFramesDoNothing) {
    auto engine = makeEngine();
    double x = 3.0;
    engine->process(&x, &x, &x, &x, 0);
    engine->process(&x, &x, &x, &x, -5);
    EXPECT_EQ(x, 3.0);
}

}  // namespace
}  // namespace kt
