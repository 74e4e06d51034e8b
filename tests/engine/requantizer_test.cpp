// The requantizer stage through the engine and on its own.
#include "engine/requantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

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

// Plainly: 32 errors per channel, the first K in use; a new table resets only the position.
class PlainRequantizer {
  public:
    PlainRequantizer() { dither_.seed(); }

    void selectTable(const double* table, int order) {
        table_ = table;
        order_ = order;
        position_ = 0;
    }

    // Autoblack off: the gain is 1.
    void process(double& l, double& r, double q) {
        double acc[2] = {0.0, 0.0};
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < order_; ++k)
                acc[c] += table_[k] * errors_[c][(position_ - k + order_) % order_];
        position_ = (position_ + 1) % order_;
        const double v[2] = {l - acc[0], r - acc[1]};
        double u[4];
        for (double& x : u) x = dither_.next() * 2.3283064365e-10;
        double out[2];
        for (int c = 0; c < 2; ++c) {
            const double d = ((2.0 * u[2 * c] - 1.0) + (2.0 * u[2 * c + 1] - 1.0)) * 0.5;
            const double n = std::trunc(d + (v[c] * q + q) + 0.5);
            out[c] = (n - q) * (1.0 / q);
            errors_[c][position_] = out[c] - v[c];
        }
        l = out[0];
        r = out[1];
    }

  private:
    double errors_[2][32] = {};
    const double* table_ = nullptr;
    int order_ = 12;
    int position_ = 0;
    DitherGenerator dither_;
};

TEST(Requantizer, OrderChangesKeepEachSlotsErrors) {
    // Orders 12 -> 32 -> 12 -> 32 -> 32 over spans no order divides; "type F" shows stale slots.
    const int shapes[] = {2, 6, 3, 6, 4, 0, 5, 2};
    const size_t span = 1501;
    const size_t frames = span * std::size(shapes);
    const Stereo in = test::mixSignal(frames, 44100.0, 0.5);
    // Quantize off gives the limiter output the stage works on.
    auto plain = makeEngine();
    const Stereo limited = run(*plain, in);

    auto engine = makeEngine();
    engine->setParameter(kQuantize, 1.0f);
    engine->setParameter(kBits, paramLongToCont(2, 5));
    PlainRequantizer reference;
    Stereo got(frames);
    for (size_t s = 0; s < std::size(shapes); ++s) {
        engine->setParameter(kNoiseShape, paramLongToCont(shapes[s], 7));
        reference.selectTable(engine->nsCurrent(), engine->nsOrder());
        for (size_t pos = s * span; pos < (s + 1) * span; pos += 500) {
            const int n = static_cast<int>(std::min<size_t>(500, (s + 1) * span - pos));
            engine->process(in.l.data() + pos, in.r.data() + pos, got.l.data() + pos,
                            got.r.data() + pos, n);
        }
        for (size_t i = s * span; i < (s + 1) * span; ++i) {
            double l = limited.l[i], r = limited.r[i];
            reference.process(l, r, 32768.0);
            ASSERT_EQ(got.l[i], l) << "shape " << shapes[s] << " sample " << i;
            ASSERT_EQ(got.r[i], r) << "shape " << shapes[s] << " sample " << i;
        }
    }
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
