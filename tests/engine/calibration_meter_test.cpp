// The calibration generator and the meter feed.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/parameters.h"
#include "tests/engine/engine_test_support.h"

namespace kt {
namespace {

using test::makeEngine;
using test::rmsOf;
using test::run;
using test::Stereo;

double dB(double x) {
    return 20.0 * std::log10(x);
}

Stereo calibrate(int mode, int scale, size_t frames = 1 << 18) {
    auto engine = makeEngine();
    engine->setParameter(kCalibrate, paramLongToCont(mode, 4));
    engine->setParameter(kScale, paramLongToCont(scale, 3));
    return run(*engine, Stereo(frames));
}

// K-20 noise at -23 dB RMS, the other scales the same noise louder; right
// only is that noise on the right; the pair is two uncorrelated noises.
TEST(Calibration, LevelsAndChannels) {
    const Stereo k20 = calibrate(1, 2), k14 = calibrate(1, 1), k12 = calibrate(1, 0);
    EXPECT_NEAR(dB(rmsOf(k20.l)), -23.0, 0.3);
    EXPECT_EQ(k20.r, std::vector<double>(k20.size(), 0.0));
    EXPECT_NEAR(dB(rmsOf(k14.l)) - dB(rmsOf(k20.l)), 6.02, 0.01);
    EXPECT_NEAR(dB(rmsOf(k12.l)) - dB(rmsOf(k20.l)), 8.0, 0.01);
    const Stereo right = calibrate(3, 2);
    EXPECT_EQ(right.r, k20.l);
    EXPECT_EQ(right.l, k20.r);

    const Stereo pair = calibrate(2, 2);
    const double rl = rmsOf(pair.l), rr = rmsOf(pair.r);
    EXPECT_NEAR(dB(rl), -23.0, 0.3);
    EXPECT_NEAR(dB(rr), -23.0, 0.3);
    double cross = 0.0;
    for (size_t i = 0; i < pair.size(); ++i) cross += pair.l[i] * pair.r[i];
    EXPECT_LT(std::fabs(cross / pair.size() / (rl * rr)), 0.05);
}

TEST(Calibration, DoesNotAdvanceTheLimiterNorPassTheInput) {
    const Stereo in = test::mixSignal(4096, 44100.0, 0.8);
    auto engine = makeEngine();
    auto reference = makeEngine();
    const Stereo a = run(*engine, in);
    run(*reference, in);
    engine->setParameter(kCalibrate, paramLongToCont(1, 4));
    const Stereo noise = run(*engine, in);
    for (double v : noise.r) ASSERT_EQ(v, 0.0);  // the input is not passed
    engine->setParameter(kCalibrate, 0.0f);
    // The limiter continues from where it stood (dither state aside, Quantize is off).
    EXPECT_EQ(run(*engine, in).l, run(*reference, in).l);
}

TEST(Calibration, MissingSecondOutputGetsOnlyTheLeft) {
    auto engine = makeEngine();
    engine->setParameter(kCalibrate, paramLongToCont(3, 4));
    std::vector<float> out(256, 9.0f), in(256, 0.0f);
    engine->process(in.data(), in.data(), out.data(), nullptr, 256);
    for (float v : out) ASSERT_EQ(v, 0.0f);
}

TEST(Calibration, MetersShowTheNoiseOnBothSides) {
    auto engine = makeEngine();
    engine->setParameter(kCalibrate, paramLongToCont(1, 4));
    float m[10];
    run(*engine, Stereo(1000));
    engine->getMeters(m);
    const Stereo out = run(*engine, Stereo(44100));
    engine->getMeters(m);
    EXPECT_FLOAT_EQ(m[0], static_cast<float>(test::peakOf(out.l)));
    EXPECT_EQ(m[0], m[2]);
    EXPECT_EQ(m[4], m[6]);
    EXPECT_EQ(m[1] + m[3] + m[7], 0.0f);
    EXPECT_EQ(m[8], 1.0f);
}

TEST(Meters, SineReadsItsAmplitudeAndSilenceResetsPeaks) {
    auto engine = makeEngine();
    const double amplitude = 0.5;
    run(*engine, test::sine(2 * 44100, 44100.0, 1000.0, amplitude));
    float m[10], again[10];
    engine->getMeters(m);
    engine->getMeters(again);  // a read without processing shows the same
    for (int i = 0; i < 10; ++i) EXPECT_EQ(again[i], m[i]) << i;
    EXPECT_NEAR(m[0], amplitude, 1e-4);
    EXPECT_NEAR(m[1], amplitude, 1e-4);
    EXPECT_NEAR(m[2], amplitude, 1e-4);
    EXPECT_NEAR(m[4], amplitude, 1e-3);
    EXPECT_NEAR(m[6], amplitude, 1e-3);
    EXPECT_EQ(m[8], 1.0f);
    EXPECT_EQ(m[9], 1.0f);

    // Silence: after the latency has drained, the next read after a block shows 0 peaks,
    // and the RMS falls to 10 % in 600 ms.
    run(*engine, Stereo(200));
    engine->getMeters(m);
    run(*engine, Stereo(static_cast<size_t>(0.6 * 44100) - 200));
    engine->getMeters(m);
    EXPECT_EQ(m[0], 0.0f);
    EXPECT_EQ(m[2], 0.0f);
    EXPECT_NEAR(m[4] / amplitude, 0.1, 0.01);
}

TEST(Meters, PostMeterScalesTheInputByDrive) {
    for (int post = 0; post < 2; ++post) {
        auto engine = makeEngine();
        engine->setParameter(kDrive, 0.5f + 6.0f / 48.0f);  // +6 dB: gain 2
        engine->setParameter(kPostMeter, post ? 1.0f : 0.0f);
        engine->suspend();
        run(*engine, test::sine(44100, 44100.0, 1000.0, 0.25));
        float m[10];
        engine->getMeters(m);
        EXPECT_NEAR(m[0], post ? 0.25 : 0.5, 1e-4);
    }
}

TEST(Meters, OversampledOutputMeterSeesInterSamplePeaks) {
    // A sine at fs/4 with 45 degree phase: samples at 0.707 A, true peak A.
    Stereo in(8192);
    for (size_t i = 0; i < in.size(); ++i)
        in.l[i] = in.r[i] = 0.5 * std::sin(M_PI / 2 * i + M_PI / 4);
    for (int ovs = 0; ovs < 2; ++ovs) {
        auto engine = makeEngine();
        engine->setParameter(kMeterOvs, ovs ? 1.0f : 0.0f);
        run(*engine, in);
        float m[10];
        engine->getMeters(m);
        EXPECT_NEAR(m[2], ovs ? 0.5 : 0.5 * std::sqrt(0.5), 0.01) << ovs;
    }
}

// No trace shown keeps the gain minima at one; changing AttShow resets them.
TEST(Meters, GainMinimaFollowAttShow) {
    for (float show : {0.0f, 1.0f}) {
        auto engine = makeEngine();
        engine->setParameter(kAttShow, show);
        engine->setParameter(kDrive, 1.0f);
        run(*engine, test::mixSignal(4096, 44100.0, 1.0));
        float m[10];
        engine->getMeters(m);
        EXPECT_EQ(m[8] == 1.0f, show == 0.0f) << m[8];
        engine->setParameter(kAttShow, 0.5f);
        engine->getMeters(m);
        EXPECT_EQ(m[8], 1.0f);
        EXPECT_EQ(m[9], 1.0f);
    }
}

}  // namespace
}  // namespace kt
