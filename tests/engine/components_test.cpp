// The small parts of the engine against plain reference implementations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <random>
#include <vector>

#include "engine/block_convolver.h"
#include "engine/dither_generator.h"
#include "engine/envelope_bank.h"
#include "engine/interpolators.h"
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
        // Cleared mid-pass, nothing of the old values remains.
        window.clear();
        window.resetPosition();
        for (int i = 0; i < length; ++i) ASSERT_EQ(window.insert(1e-5, 2e-5).r, 2e-5) << length;
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
        att[k] = 0.02 * (k + 1);
        rel[k] = 0.0005 * (k + 1);
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

// Half-band and quarter kernels, on either path, against direct sums.
TEST_F(Interpolators, KernelsMatchDirectSums) {
    for (bool baseline : {true, false}) {
        forceBaselineKernels(baseline);
        for (unsigned seed = 0; seed < 50; ++seed) {
            fill(seed);
            const StereoValue half = halfbandValueReference(history.window());
            EXPECT_NEAR(halfbandPeak(history.window()).l, std::fabs(half.l), 1e-14);
            EXPECT_NEAR(halfbandPeak(history.window()).r, std::fabs(half.r), 1e-14);
            double l = 0.0, r = 0.0;
            for (const auto& p : quarterValuesReference(history.window())) {
                l = std::max(l, std::fabs(p.l));
                r = std::max(r, std::fabs(p.r));
            }
            EXPECT_NEAR(quarterPeak(history.window()).l, l, 1e-14);
            EXPECT_NEAR(quarterPeak(history.window()).r, r, 1e-14);
        }
    }
    forceBaselineKernels(false);
}

// The stretch kernel must give each window's peak bit for bit as the per-sample one.
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

TEST(SmoothingConvolver, EmitsCircularConvolutionOfEachBlock) {
    for (int W : {8, 16, 32, 64, 128}) {  // direct up to 16, transforms above
        SmoothingConvolver conv;
        conv.setLength(W);
        conv.clear();
        conv.resetPositions();
        // The kernel h, recovered in the time domain: real, symmetric, of unit gain.
        alignas(64) double h[256];
        designSmoothingSpectrum(W, h);
        FftPlans::instance().inverse(2 * W, h);  // the 1/(2W) scaling undoes itself
        double sum = 0.0;
        for (int i = 0; i < W; ++i) {
            EXPECT_NEAR(h[2 * i + 1], 0.0, 1e-15);
            EXPECT_NEAR(h[2 * i], h[2 * (W - 1 - i)], 1e-15);
            sum += h[2 * i];
        }
        EXPECT_NEAR(sum, 1.0, 1e-14) << "W " << W;

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

}  // namespace
}  // namespace kt
