// Rate set-up, step clamping and what parameter changes keep or reset.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/parameters.h"
#include "tests/engine/engine_test_support.h"

namespace kt {
namespace {

using test::makeEngine;

struct RateCase {
    float rate;
    int hz;
    int shift;
    int latency;
    int truePeakMode;
};

TEST(SampleRate, LatencyBandAndTruePeakMode) {
    const RateCase cases[] = {
        {48000.0f, 48000, 0, 159, 2},   {48001.0f, 48001, 0, 159, 1},
        {79999.0f, 79999, 0, 159, 1},   {80000.0f, 80000, 1, 287, 1},
        {96000.0f, 96000, 1, 287, 1},   {96001.0f, 96001, 1, 287, 0},
        {169999.f, 169999, 1, 287, 0},  {170000.0f, 170000, 2, 543, 0},
        {200000.0f, 200000, 2, 543, 0}, {5000.0f, 5000, 0, 159, 2},
        {4000.0f, 44100, 0, 159, 2},    {250000.0f, 44100, 0, 159, 2},
        {NAN, 44100, 0, 159, 2},        {32000.7f, 32000, 0, 159, 2},
    };
    for (const auto& c : cases) {
        auto engine = makeEngine(96000.0f);  // start elsewhere so every case changes rate
        EXPECT_EQ(engine->setSampleRate(c.rate), c.latency) << c.rate;
        EXPECT_EQ(engine->sampleRateHz(), c.hz) << c.rate;
        EXPECT_EQ(engine->rateShift(), c.shift) << c.rate;
        EXPECT_EQ(engine->latency(), c.latency) << c.rate;
        EXPECT_EQ(engine->lookaheadLength(), 128 << c.shift);
        if (c.hz != 96000) {
            EXPECT_EQ(engine->truePeakMode(), c.truePeakMode) << c.rate;
        }
    }
}

TEST(SampleRate, AMovedEngineRunsAsOneMadeAtItsRate) {
    const test::Stereo in = test::mixSignal(4096, 96000.0, 1.5);
    auto moved = makeEngine(44100.0f);
    moved->setParameter(kRelease, 1.0f);
    test::run(*moved, in);
    moved->setSampleRate(96000.0f);
    auto fresh = makeEngine(96000.0f);
    fresh->setParameter(kRelease, 1.0f);
    EXPECT_EQ(test::run(*moved, in).l, test::run(*fresh, in).l);
    moved->setSampleRate(96000.0f);
    auto again = makeEngine(96000.0f);
    again->setParameter(kRelease, 1.0f);
    EXPECT_EQ(test::run(*moved, in).l, test::run(*again, in).l);
}

// Values stored as given, steps held to their range, other indices ignored; all still process.
TEST(Parameters, OddIndicesAndValuesAreStoredOrIgnoredSafely) {
    auto engine = makeEngine();
    engine->setParameter(kBits, 1.7f);
    EXPECT_EQ(engine->getParameter(kBits), 1.7f);
    EXPECT_EQ(engine->step(kBits), 4);
    EXPECT_EQ(engine->getParameter(22), 0.0f);
    EXPECT_EQ(engine->getParameter(-3), 0.0f);
    engine->setParameter(40, 0.5f);
    engine->setParameter(-1, 0.5f);
    for (float v : {-1.0f, NAN, -INFINITY, 7.0f, INFINITY}) {
        for (int i : {kNoiseShape, kAttShow, kTransShape, kBits, kScale, kCalibrate})
            engine->setParameter(i, v);
        EXPECT_LE(engine->step(kNoiseShape), 6);
        EXPECT_LE(engine->step(kAttShow), 7);
        EXPECT_GE(engine->smoothLength(), 8);
        EXPECT_EQ(engine->step(kNoiseShape) == 0, !(v > 0.0f));
    }
    engine->setParameter(kQuantize, 1.0f);
    engine->setParameter(kCalibrate, 0.0f);
    EXPECT_LE(test::peakOf(test::run(*engine, test::sine(1024, 44100.0, 1000.0, 0.5)).l), 1.0);
}

// The shape picks the rate's table and order; a rate without tables keeps the previous one.
TEST(Parameters, NoiseShapeSelectsTableAndOrderByRate) {
    auto engine = makeEngine(176400.0f);
    for (int s = 1; s <= 6; ++s) {
        engine->setParameter(kNoiseShape, paramLongToCont(s, 7));
        EXPECT_EQ(engine->nsCurrent(), engine->nsTable(s, 4)) << s;
        EXPECT_EQ(engine->nsOrder(), s >= 4 ? 32 : 12);
    }
    engine->setSampleRate(48000.0f);
    engine->setParameter(kNoiseShape, paramLongToCont(2, 7));
    engine->setSampleRate(32000.0f);
    engine->setParameter(kNoiseShape, paramLongToCont(5, 7));
    EXPECT_EQ(engine->nsCurrent(), engine->nsTable(2, 1));
    EXPECT_EQ(engine->nsOrder(), 32);
    engine->setSampleRate(96000.0f);
    EXPECT_EQ(engine->nsCurrent(), engine->nsTable(5, 3));
}

// The same step rewritten keeps the delay lines; a real change resets them.
TEST(Parameters, SameTransShapeStepKeepsTheState) {
    const test::Stereo in = test::mixSignal(4096, 44100.0, 1.5);
    auto engine = makeEngine();
    auto reference = makeEngine();
    test::run(*engine, in, 1000);
    test::run(*reference, in, 1000);
    engine->setParameter(kTransShape, 0.1f);
    EXPECT_EQ(test::run(*engine, in).l, test::run(*reference, in).l);
    engine->setParameter(kTransShape, 0.5f);
    const test::Stereo after = test::run(*engine, in);
    EXPECT_EQ(test::peakOf(after.l, 0, 159), 0.0);
    EXPECT_GT(test::peakOf(after.l, 159), 0.1);
}

}  // namespace
}  // namespace kt
