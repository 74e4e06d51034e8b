// The requantizer stage through the engine and on its own.
#include "engine/requantizer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/parameters.h"
#include "tests/engine/engine_test_support.h"

namespace kt {
namespace {

using test::makeEngine;
using test::run;
using test::Stereo;

TEST(Requantizer, OffIsBitExactWhateverItsSettings) {
    const Stereo in = test::mixSignal(8192, 44100.0, 1.2);
    auto reference = makeEngine();
    const Stereo want = run(*reference, in);
    auto engine = makeEngine();
    engine->setParameter(kBits, 0.0f);
    engine->setParameter(kNoiseShape, 0.9f);
    engine->setParameter(kAutoblack, 1.0f);
    const Stereo got = run(*engine, in);
    EXPECT_EQ(got.l, want.l);
    EXPECT_EQ(got.r, want.r);
}

TEST(Requantizer, SixteenBitsOnAConstantQuarter) {
    auto engine = makeEngine();
    engine->setParameter(kQuantize, 1.0f);
    engine->setParameter(kBits, paramLongToCont(2, 5));
    Stereo in(20000);
    for (size_t i = 0; i < in.size(); ++i) in.l[i] = in.r[i] = 0.25;
    const Stereo out = run(*engine, in);
    const double step = 1.0 / 32768.0;
    double sum = 0.0;
    int count = 0;
    for (size_t i = 2000; i < out.size(); ++i) {
        const double d = (out.l[i] - 0.25) / step;
        ASSERT_TRUE(d == 0.0 || d == 1.0 || d == -1.0) << i << " " << d;
        ASSERT_EQ(std::round(out.r[i] / step) * step, out.r[i]);
        sum += out.l[i];
        ++count;
    }
    EXPECT_NEAR(sum / count, 0.25, step * 0.02);
}

TEST(Requantizer, NoiseShapingPushesErrorOutOfTheLowBand) {
    // Error spectrum: with a shape the low band carries less error power.
    double lowPower[2];
    for (int shaped = 0; shaped < 2; ++shaped) {
        Requantizer rq;
        rq.setBits(0);  // 8 bits, so the error dwarfs rounding of the sum
        rq.clearErrors();
        DitherGenerator d;
        d.seed();
        const auto& table = noiseShapeCoefficients(4, 0);
        NoiseShapeTable zero{};
        int pos = 0;
        double lp = 0.0, acc = 0.0;
        for (int n = 0; n < 50000; ++n) {
            const double x = 0.3 * std::sin(n * 0.01);
            double l = x, r = x;
            rq.process(l, r, shaped ? table.data() : zero.data(), shaped ? 32 : 12, pos, false, 0.0,
                       d);
            lp += 0.02 * ((l - x) - lp);  // one-pole low-pass of the total error
            acc += lp * lp;
        }
        lowPower[shaped] = acc;
    }
    EXPECT_LT(lowPower[1], 0.5 * lowPower[0]);
}

TEST(Requantizer, AutoblackFadesSilenceAndRecoversAtOnce) {
    auto engine = makeEngine();
    engine->setParameter(kQuantize, 1.0f);
    engine->setParameter(kAutoblack, 1.0f);
    // From a reset the gain starts tiny and falls further through silence.
    const Stereo quiet = run(*engine, Stereo(44100));
    EXPECT_GT(engine->autoblackGain(), 0.0);
    EXPECT_LT(engine->autoblackGain(), 1e-43);
    EXPECT_LT(test::peakOf(quiet.l), 1e-40);

    // A signal at exactly 1e-8 after the limiter is still silence; above it the gain is 1.0.
    Stereo tiny(2000);
    for (size_t i = 0; i < tiny.size(); ++i) tiny.l[i] = tiny.r[i] = (i >= 1000) ? 1e-6 : 0.0;
    run(*engine, tiny);
    EXPECT_EQ(engine->autoblackGain(), 1.0);

    // Without Autoblack the gain is 1.0 from the first sample after a reset.
    auto plain = makeEngine();
    plain->setParameter(kQuantize, 1.0f);
    run(*plain, Stereo(1));
    EXPECT_EQ(plain->autoblackGain(), 1.0);
}

TEST(Requantizer, ExactlyOneEMinus8CountsAsSilence) {
    Requantizer rq;
    rq.setBits(4);
    rq.clearErrors();
    rq.resetGain();
    DitherGenerator d;
    d.seed();
    NoiseShapeTable zero{};
    int pos = 0;
    double l = 1e-8, r = -1e-8;
    rq.process(l, r, zero.data(), 12, pos, true, 0.1, d);
    EXPECT_LT(rq.autoblackGain(), 1e-20);
    l = 1.0000001e-8;
    r = 0.0;
    rq.process(l, r, zero.data(), 12, pos, true, 0.1, d);
    EXPECT_EQ(rq.autoblackGain(), 1.0);
}

TEST(Requantizer, WordLengthStepsOutOfRangeMeanTwentyFourBits) {
    Requantizer rq;
    for (int s : {9, -2}) {
        rq.setBits(s);
        EXPECT_EQ(rq.stepsPerUnit(), 8388608.0);
    }
}

}  // namespace
}  // namespace kt
