// The meters with chosen ticks: hold, fall and release, the clamps, the empty
// bars, the source rows on each scale, and the click that resets.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/gr_meter.h"
#include "editor/level_meters.h"
#include "editor/meter_readouts.h"
#include "tests/editor/editor_test_support.h"

using namespace kt::test;

namespace {

enum Code {
    kBack = 30,
    kUnlitPeak,
    kLitPeak,
    kK20,
    kK14,
    kK12,
    kUnlitK,
    kLitK,
    kGrBack,
    kGrBar,
    kFont
};

float linear(float dB) {
    return std::pow(10.0f, dB / 20);
}

struct LevelMeterFixture : ::testing::Test {
    ViewFrame f;
    RowCodedBitmap back{524, 462, kBack}, unlitPeak{16, 408, kUnlitPeak},
        litPeak{16, 408, kLitPeak}, k20{27, 367, kK20}, k14{27, 367, kK14}, k12{27, 367, kK12},
        unlitK{16, 432, kUnlitK}, litK{16, 432, kLitK};
    CMeterIn* meter = f.add(new CMeterIn({147, 38, 207, 408}, &f.recorder, 27,
                                         {back, unlitPeak, litPeak, k20, k14, k12, unlitK, litK}));
    void refresh(std::uint32_t now, float peakL, float peakR = 0, float rmsL = 0, float rmsR = 0) {
        meter->refreshMeters(now, peakL, peakR, rmsL, rmsR);
        f.idle();
    }
};

}  // namespace

TEST_F(LevelMeterFixture, PeakScaleHoldsFiftyMsThenFallsAt866DbPerSecond) {
    refresh(1000, 1.0f);  // one full-scale peak on the left
    EXPECT_EQ(meter->getHeldL(), 0.0f);
    EXPECT_EQ(meter->getHeldR(), -120.0f) << "silence reads -120 dB";
    EXPECT_EQ(f.sourceRow(155, 402 - 288, kLitPeak), 120) << "48 dB * 6 pixels lit";
    EXPECT_EQ(f.sourceRow(155, 402 - 289, kUnlitPeak), 48 + 402 - 289 - 42);
    EXPECT_EQ(f.sourceRow(200, 401, kUnlitPeak), 407) << "an empty bar";
    EXPECT_EQ(f.sourceRow(175, 38, kK12), 0) << "the peak scale's legend";

    refresh(1040, 0.0f);  // within the hold
    EXPECT_EQ(meter->getHeldL(), 0.0f);
    refresh(1140, 0.0f);  // 90 ms past the hold
    EXPECT_NEAR(meter->getHeldL(), -0.090f * 8.66f, 1e-5);
    refresh(1240, 0.0f);
    EXPECT_NEAR(meter->getHeldL(), -0.190f * 8.66f, 1e-5);
    f.idle();  // a redraw without a refresh moves nothing
    EXPECT_NEAR(meter->getHeldL(), -0.190f * 8.66f, 1e-5);

    refresh(2000, linear(25));  // +25 dBFS shows as +20, the top of the bar
    EXPECT_EQ(meter->getHeldL(), 20.0f);
    EXPECT_EQ(f.sourceRow(155, 42, kLitPeak), 48);
}

TEST_F(LevelMeterFixture, KScalesShowRmsBarsWithPeakMarkers) {
    meter->setScale(3);  // K-20: the bar images shift by -18 rows
    refresh(3000, 0.5f, 0.0f, 0.1f, 0.0f);
    EXPECT_EQ(f.sourceRow(175, 38, kK20), 0);
    const int h = 240;  // -20 dB RMS: 40 dB above the bottom
    EXPECT_EQ(f.sourceRow(155, 402 - h, kLitK), 402 - h - 18);
    EXPECT_EQ(f.sourceRow(155, 402 - h - 1, kUnlitK), 402 - h - 1 - 18);
    const int hp = static_cast<int>(6 * (20 * std::log10(0.5) + 60) + 0.5);
    EXPECT_EQ(f.sourceRow(155, 402 - hp, kLitK), 402 - hp - 18) << "the peak marker";
    EXPECT_EQ(f.sourceRow(155, 402 - hp + 3, kUnlitK), 402 - hp + 3 - 18);

    meter->setScale(2);
    meter->reset();
    refresh(4000, linear(-59.8f), 0.0f, 0.0f, 0.0f);  // a marker under 3 pixels is not drawn
    EXPECT_EQ(f.sourceRow(175, 38, kK14), 0);
    EXPECT_EQ(f.sourceRow(155, 401, kUnlitK), 401 + 18);
}

TEST(GainReductionMeter, HoldsThenReleasesAt30DbPerSecondWithinItsRange) {
    ViewFrame f;
    RowCodedBitmap back(58, 306, kGrBack), bar(16, 146, kGrBar);
    auto* gr = f.add(new CMeterGR({233, 39, 291, 192}, &f.recorder, 27, back, bar));
    auto refresh = [&](std::uint32_t now, float gainL, float gainR = 1.0f) {
        gr->refreshMeters(now, gainL, gainR);
        f.idle();
    };
    refresh(1000, linear(-12));
    EXPECT_NEAR(gr->getHeldL(), -12.0f, 1e-5);
    EXPECT_EQ(f.sourceRow(240, 114, kGrBar), 72) << "72 pixels and one";
    EXPECT_EQ(f.sourceRow(240, 115, kGrBack), 115 - 39);
    EXPECT_EQ(f.sourceRow(280, 42, kGrBack), 3) << "no reduction: no bar";
    refresh(1040, 1.0f);
    EXPECT_NEAR(gr->getHeldL(), -12.0f, 1e-5);
    refresh(1140, 1.0f);
    EXPECT_NEAR(gr->getHeldL(), -12.0f + 0.090f * 30, 1e-4);

    gr->reset();
    refresh(2000, linear(-0.05f));
    EXPECT_EQ(f.sourceRow(240, 42, kGrBack), 3) << "under 0.1 dB: empty";
    refresh(3000, 0.0f);  // no gain at all counts as -30 dB
    EXPECT_EQ(gr->getHeldL(), -30.0f);
    EXPECT_EQ(f.sourceRow(240, 186, kGrBar), 144) << "the full 145 pixels";
    EXPECT_EQ(f.sourceRow(240, 187, kGrBack), 148);

    gr->setZoom(0.75f);
    gr->reset();
    refresh(4000, linear(-6));
    EXPECT_EQ(f.sourceRow(240, 114, kGrBar), 72) << "12 pixels per dB";
    EXPECT_EQ(f.sourceRow(240, 115, kGrBack), 153 + 115 - 39) << "the 12 dB legend";
}

TEST(Meters, ALeftClickAsksForAResetAndTheReadoutClearsItself) {
    ViewFrame f;
    RowCodedBitmap back(524, 462, kBack), font(5, 1536, kFont);
    auto* lcd = f.add(new CMeterLCD({131, 415, 224, 426}, &f.recorder, 27, back, font, font));
    lcd->refreshMeters(0.5f, 0.5f);
    EXPECT_EQ(f.down(150, 420, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(f.down(150, 420, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(f.recorder.log, std::vector<std::string>{"27=0"});
    EXPECT_EQ(lcd->getMaxL(), -120.0f);
}
