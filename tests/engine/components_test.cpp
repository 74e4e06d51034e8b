// The small parts of the engine against plain reference implementations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <random>
#include <vector>

#include "engine/block_convolver.h"
#include "engine/dither_generator.h"
#include "engine/envelope_bank.h"
#include "engine/interpolator_coefs.h"
#include "engine/interpolators.h"
#include "engine/noise_shaping_tables.h"
#include "engine/pink_noise.h"
#include "engine/stereo_sliding_max.h"

namespace kt {
namespace {

// The exact maximum of the last L values (zeros before the first L), per channel.
TEST(StereoSlidingMax, EqualsNaiveWindowMaximum) {
    std::mt19937 gen(9);
    std::uniform_real_distribution<double> level(1e-5, 2.0);
    for (int length : {1, 2, 8, 128, 512}) {
        StereoSlidingMax<512> window;
        window.setLength(length);
        std::deque<double> left(length, 0.0), right(length, 0.0);
        for (int n = 0; n < 30000; ++n) {
            double l = level(gen), r = level(gen);
            if (n % 300 < 50) l = 0.25;  // plateaus and long falls
            if (n % 1000 > 700) r = 2.0 - n % 1000 * 1e-3;
            left.pop_front();
            left.push_back(l);
            right.pop_front();
            right.push_back(r);
            const StereoValue got = window.insert(l, r);
            ASSERT_EQ(got.l, *std::max_element(left.begin(), left.end())) << length << " " << n;
            ASSERT_EQ(got.r, *std::max_element(right.begin(), right.end())) << length << " " << n;
        }
    }
}

TEST(StereoSlidingMax, ClearEmptiesTheWindow) {
    StereoSlidingMax<16> window;
    window.setLength(16);
    for (int i = 0; i < 21; ++i) window.insert(3.0, 2.0);  // ends mid-pass
    window.clear();
    window.resetPosition();
    for (int i = 0; i < 16; ++i) {
        const StereoValue got = window.insert(1e-5, 2e-5);
        EXPECT_EQ(got.l, 1e-5);
        EXPECT_EQ(got.r, 2e-5);
    }
}

// Scalar envelope stages exactly as described: attack while rising, release while falling.
double referenceEnvelope(double e, const double* att, const double* rel, bool second, double* y,
                         double* z) {
    double largest = 1.0;
    for (int k = 0; k < 8; ++k) {
        y[k] = y[k] + (e >= y[k] ? att[k] : rel[k]) * (e - y[k]);
        if (second)
            z[k] = z[k] + (z[k] < y[k] ? att[k] : rel[k]) * (y[k] - z[k]);
        else
            z[k] = y[k];
        largest = std::max(largest, z[k]);
    }
    return largest;
}

TEST(EnvelopeBank, MatchesScalarStagesBitForBit) {
    double att[8], rel[8];
    for (int k = 0; k < 8; ++k) {
        att[k] = 1.0 - std::exp(-1000.0 / (44100.0 * (32.0 - k * 31.0 / 7.0)));
        rel[k] = 1.0 - std::exp(-1000.0 / (44100.0 * (200.0 - k * 198.0 / 7.0)));
    }
    for (bool second : {false, true}) {
        EnvelopeBank bank;
        bank.clear();
        double y[2][8] = {}, z[2][8] = {};
        std::mt19937 gen(3);
        std::uniform_real_distribution<double> level(1e-5, 4.0);
        double eL = 0.1, eR = 0.2;
        for (int n = 0; n < 20000; ++n) {
            if (n % 500 == 0) eL = level(gen);
            if (n % 300 == 0) eR = level(gen);
            const double wantL = referenceEnvelope(eL, att, rel, second, y[0], z[0]);
            const double wantR = referenceEnvelope(eR, att, rel, second, y[1], z[1]);
            const StereoValue got = bank.process(eL, eR, att, rel, second);
            ASSERT_EQ(got.l, wantL) << n;
            ASSERT_EQ(got.r, wantR) << n;
        }
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(bank.stage2(0, k), z[0][k]);
            EXPECT_EQ(bank.stage2(1, k), z[1][k]);
        }
    }
}

class Interpolators : public ::testing::Test {
  protected:
    void fill(unsigned seed) {
        std::mt19937 gen(seed);
        std::uniform_real_distribution<double> level(-1.5, 1.5);
        history.clear();
        for (unsigned i = 0; i < 64 + seed % 64; ++i) history.push(level(gen), level(gen));
    }
    StereoHistory history;
};

TEST_F(Interpolators, HistoryWindowIsChronologicalWithCentre) {
    for (int i = 0; i < 100; ++i) history.push(i, -i);
    const double* w = history.window();
    for (int f = 0; f < 64; ++f) {
        EXPECT_EQ(w[2 * f], 36 + f);
        EXPECT_EQ(w[2 * f + 1], -(36 + f));
    }
    EXPECT_EQ(history.centre().l, 99 - 31);  // s_31
}

TEST_F(Interpolators, HalfbandMatchesDirectSum) {
    for (bool baseline : {true, false}) {
        forceBaselineKernels(baseline);
        for (unsigned seed = 0; seed < 50; ++seed) {
            fill(seed);
            const StereoValue ref = halfbandValueReference(history.window());
            const StereoValue got = halfbandPeak(history.window());
            EXPECT_NEAR(got.l, std::fabs(ref.l), 1e-14);
            EXPECT_NEAR(got.r, std::fabs(ref.r), 1e-14);
        }
    }
    forceBaselineKernels(false);
}

TEST_F(Interpolators, QuarterMatchesDirectDotProducts) {
    for (bool baseline : {true, false}) {
        forceBaselineKernels(baseline);
        for (unsigned seed = 0; seed < 50; ++seed) {
            fill(seed);
            const auto ref = quarterValuesReference(history.window());
            const StereoValue got = quarterPeak(history.window());
            double l = 0.0, r = 0.0;
            for (const auto& p : ref) {
                l = std::max(l, std::fabs(p.l));
                r = std::max(r, std::fabs(p.r));
            }
            EXPECT_NEAR(got.l, l, 1e-14);
            EXPECT_NEAR(got.r, r, 1e-14);
        }
    }
    forceBaselineKernels(false);
}

// The stretch kernel must give each window's peak bit for bit as the
// per-sample kernel does, or the limiter's output would change.
TEST_F(Interpolators, QuarterPeaksOfAStretchEqualThoseOfEachWindow) {
    if (!interpolatorsUseAvx2()) GTEST_SKIP() << "no AVX2";
    constexpr int n = 101;  // not a multiple of the groups of eight
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> level(-1.5, 1.5);
    std::vector<double> x[2];
    for (auto& channel : x) {
        channel.resize(n + 70);
        for (double& v : channel) v = level(gen);
    }
    std::vector<double> peaks[2] = {std::vector<double>(n + 7), std::vector<double>(n + 7)};
    for (int c = 0; c < 2; ++c) quarterPeaksAvx2(x[c].data(), n, peaks[c].data());
    for (int i = 0; i < n + 63; ++i) {
        history.push(x[0][i], x[1][i]);
        if (i < 63) continue;
        const StereoValue want = quarterPeak(history.window());
        ASSERT_EQ(peaks[0][i - 63], want.l) << i;
        ASSERT_EQ(peaks[1][i - 63], want.r) << i;
    }
}

TEST_F(Interpolators, TablesHaveUnityGainAndTheirSymmetries) {
    double half = 0.0;
    for (double c : halfbandCoefs()) half += 2.0 * c;
    EXPECT_NEAR(half, 1.0, 1e-6);
    const auto q1 = quarterCoefs(0), q2 = quarterCoefs(1), q3 = quarterCoefs(2);
    double s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(q2[i], q2[63 - i]);
        EXPECT_EQ(q3[i], q1[63 - i]);
        s1 += q1[i];
        s2 += q2[i];
        s3 += q3[i];
    }
    EXPECT_NEAR(s1, 1.0, 6e-6);
    EXPECT_NEAR(s2, 1.0, 6e-6);
    EXPECT_NEAR(s3, 1.0, 6e-6);
}

TEST_F(Interpolators, FindInterSamplePeakOfQuarterRateSine) {
    // A sine at fs/4 sampled at +-45 degrees shows 0.707 on samples, 1.0 between.
    double half = 0.0, quarter = 0.0;
    for (int i = 0; i < 128; ++i) {
        history.push(std::sin(std::numbers::pi / 2 * i + std::numbers::pi / 4), 0.0);
        if (i < 64) continue;
        EXPECT_NEAR(std::fabs(history.centre().l), std::sqrt(0.5), 1e-12);
        half = std::max(half, halfbandPeak(history.window()).l);
        quarter = std::max(quarter, quarterPeak(history.window()).l);
    }
    EXPECT_NEAR(half, 1.0, 0.01);
    EXPECT_NEAR(quarter, 1.0, 0.01);
}

TEST(SmoothingKernel, InverseTransformIsTheNormalisedKernel) {
    alignas(64) double spectrum[256];
    for (int W : {8, 16, 32, 64, 128}) {
        designSmoothingSpectrum(W, spectrum);
        FftPlans::instance().inverse(2 * W, spectrum);  // the 1/(2W) scaling undoes itself
        double sum = 0.0;
        const double step = 2.0 * std::numbers::pi / (W - 1);
        double reference[128], refSum = 0.0;
        for (int i = 0; i < W; ++i) {
            const double x = -std::numbers::pi + i * step;
            reference[i] = std::sin(x) / x;
            refSum += reference[i];
        }
        for (int i = 0; i < W; ++i) {
            EXPECT_NEAR(spectrum[2 * i], reference[i] / refSum, 1e-15) << "W " << W;
            EXPECT_NEAR(spectrum[2 * i + 1], 0.0, 1e-15);
            sum += spectrum[2 * i];
        }
        EXPECT_NEAR(sum, 1.0, 1e-14);
    }
}

TEST(SmoothingConvolver, EmitsCircularConvolutionOfEachBlock) {
    for (int W : {8, 16, 32, 64, 128}) {  // direct up to 16, transforms above
        SmoothingConvolver conv;
        conv.setLength(W);
        conv.clear();
        conv.resetPositions();
        // The kernel h, recovered in the time domain.
        alignas(64) double h[256];
        designSmoothingSpectrum(W, h);
        FftPlans::instance().inverse(2 * W, h);

        std::mt19937 gen(W);
        std::uniform_real_distribution<double> level(0.0, 2.0);
        std::vector<double> inL(4 * W), inR(4 * W), outL(4 * W), outR(4 * W);
        for (int n = 0; n < 4 * W; ++n) {
            inL[n] = level(gen);
            inR[n] = -level(gen);
            conv.push(inL[n], inR[n], outL[n], outR[n]);
        }
        // The block complete at sample b*W + W - 1 comes out from the next sample on.
        for (int b = 0; b < 3; ++b) {
            for (int i = 0; i < W; ++i) {
                double wantL = 0.0, wantR = 0.0;
                for (int k = 0; k < W; ++k) {
                    wantL += inL[b * W + k] * h[2 * (((i - k) % W + W) % W)];
                    wantR += inR[b * W + k] * h[2 * (((i - k) % W + W) % W)];
                }
                const int at = (b + 1) * W + i - 1;
                EXPECT_NEAR(outL[at], wantL, 1e-14) << "W " << W << " block " << b << " i " << i;
                EXPECT_NEAR(outR[at], wantR, 1e-14);
            }
        }
    }
}

TEST(DitherGenerator, FirstWordsFromTheResetSeed) {
    DitherGenerator d;
    d.seed();
    EXPECT_EQ(d.next(), 0x81260591u);
    EXPECT_EQ(d.next(), 0x19DAAB2Du);
    EXPECT_LT(DitherGenerator::uniform(0xFFFFFFFFu), 1.0);
}

// Four words at a time, on either path, continue the one sequence word for word.
TEST(DitherGenerator, FourAtATimeEqualsOneAtATime) {
    DitherGenerator single, baseline, avx2;
    single.seed();
    baseline.seed();
    avx2.seed();
    for (int n = 0; n < 100000; ++n) {
        std::uint32_t four[4], wide[4];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(four), baseline.nextFour<false>());
        if (interpolatorsUseAvx2())
            _mm_storeu_si128(reinterpret_cast<__m128i*>(wide), avx2.nextFour<true>());
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t want = single.next();
            ASSERT_EQ(four[i], want) << n;
            if (interpolatorsUseAvx2()) {
                ASSERT_EQ(wide[i], want) << n;
            }
        }
    }
}

TEST(PinkNoise, RowChosenByTrailingZeros) {
    EXPECT_EQ(PinkNoise::rowFor(0), 7);
    EXPECT_EQ(PinkNoise::rowFor(1), 0);
    EXPECT_EQ(PinkNoise::rowFor(2), 1);
    EXPECT_EQ(PinkNoise::rowFor(64), 6);
    EXPECT_EQ(PinkNoise::rowFor(128), 7);
    EXPECT_EQ(PinkNoise::rowFor(96), 5);
}

TEST(PinkNoise, SpectrumFallsWithFrequency) {
    // Power in a low band well above that in a high band (about 3 dB per octave).
    DitherGenerator d;
    d.seed();
    PinkNoise pink;
    pink.clear();
    const int n = 1 << 16;
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i) x[i] = pink.nextLeft(d);
    // First differences stress high frequencies; compare with the signal's own power.
    double power = 0.0, diffPower = 0.0;
    for (int i = 1; i < n; ++i) {
        power += x[i] * x[i];
        diffPower += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
    }
    // White noise would give a ratio of 2; pink concentrates power low.
    EXPECT_LT(diffPower / power, 1.2);
    EXPECT_NEAR(std::sqrt(power / n), std::sqrt(3.0), 0.15);
}

struct ShapeGain {
    int shape;
    int slot;
    double dc;
    double nyquist;
};

TEST(NoiseShapingTables, DcBelowOneNyquistAboveOne) {
    for (int s = 1; s <= 6; ++s) {
        for (int r = 0; r < 6; ++r) {
            const auto& t = noiseShapeCoefficients(s, r);
            double dc = 1.0, ny = 1.0;
            for (int k = 0; k < 32; ++k) {
                dc -= t[k];
                ny -= t[k] * ((k % 2 == 0) ? -1.0 : 1.0);
                if (s <= 3 && k >= 12) {
                    EXPECT_EQ(t[k], 0.0);
                }
            }
            EXPECT_LT(dc, 1.0) << "shape " << s << " rate " << r;
            EXPECT_GT(ny, 1.0) << "shape " << s << " rate " << r;
        }
    }
    const ShapeGain known[] = {{1, 0, 0.3186, 3.0615},
                               {4, 0, 0.6461, 4.6046},
                               {4, 1, 0.6461, 4.6046},
                               {6, 0, 0.2475, -1.0},
                               {2, 0, -1.0, 28.4658}};
    for (const auto& g : known) {
        const auto& t = noiseShapeCoefficients(g.shape, g.slot);
        double dc = 1.0, ny = 1.0;
        for (int k = 0; k < 32; ++k) {
            dc -= t[k];
            ny -= t[k] * ((k % 2 == 0) ? -1.0 : 1.0);
        }
        if (g.dc > 0) {
            EXPECT_NEAR(dc, g.dc, 1e-4) << "shape " << g.shape;
        }
        if (g.nyquist > 0) {
            EXPECT_NEAR(ny, g.nyquist, 1e-4) << "shape " << g.shape;
        }
    }
}

TEST(NoiseShapingTables, PairedRatesShareTheLongShapes) {
    for (int s = 4; s <= 6; ++s)
        for (int pair = 0; pair < 3; ++pair)
            EXPECT_EQ(noiseShapeCoefficients(s, 2 * pair), noiseShapeCoefficients(s, 2 * pair + 1));
    EXPECT_EQ(noiseShapeRateSlot(176400), 4);
    EXPECT_EQ(noiseShapeRateSlot(32000), -1);
}

}  // namespace
}  // namespace kt
