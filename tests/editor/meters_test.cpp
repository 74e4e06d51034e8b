// The meters with chosen ticks: hold, fall and release, the clamps, and the click that resets.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/gr_meter.h"
#include "editor/level_meters.h"
#include "editor/meter_readouts.h"
#include "tests/editor/editor_test_support.h"

using namespace kt::test;

namespace {
float linear(float dB) {
    return std::pow(10.0f, dB / 20);
}
}  // namespace

TEST(LevelMeter, HoldsFiftyMsThenFallsAt866DbPerSecondAndClampsAtPlus20) {
    ViewFrame f;
    TestBitmap back(524, 462), bar(16, 432), scale(27, 367);
    auto* meter = f.add(new CMeterIn({147, 38, 207, 408}, &f.recorder, 27,
                                     {back, bar, bar, scale, scale, scale, bar, bar}));
    for (const int kScale : {0, 3}) {  // peak and K-20
        meter->setScale(kScale);
        meter->reset();
        auto refresh = [&](std::uint32_t now, float peakL) {
            meter->refreshMeters(now, peakL, 0, peakL, 0);
            f.idle();
        };
        refresh(1000, 1.0f);
        EXPECT_EQ(meter->getHeldL(), 0.0f);
        EXPECT_EQ(meter->getHeldR(), -120.0f) << "silence reads -120 dB";
        refresh(1040, 0.0f);  // within the hold
        EXPECT_EQ(meter->getHeldL(), 0.0f);
        refresh(1140, 0.0f);  // 90 ms past the hold
        EXPECT_NEAR(meter->getHeldL(), -0.090f * 8.66f, 1e-5);
        f.idle();  // a redraw without a refresh moves nothing
        EXPECT_NEAR(meter->getHeldL(), -0.090f * 8.66f, 1e-5);
        refresh(2000, linear(25));
        EXPECT_EQ(meter->getHeldL(), 20.0f);
    }
}

TEST(GainReductionMeter, HoldsThenReleasesAt30DbPerSecondWithinItsRange) {
    ViewFrame f;
    TestBitmap back(58, 306), bar(16, 146);
    auto* gr = f.add(new CMeterGR({233, 39, 291, 192}, &f.recorder, 27, back, bar));
    auto refresh = [&](std::uint32_t now, float gainL) {
        gr->refreshMeters(now, gainL, 1.0f);
        f.idle();
    };
    refresh(1000, linear(-12));
    EXPECT_NEAR(gr->getHeldL(), -12.0f, 1e-5);
    refresh(1040, 1.0f);
    EXPECT_NEAR(gr->getHeldL(), -12.0f, 1e-5);
    refresh(1140, 1.0f);
    EXPECT_NEAR(gr->getHeldL(), -12.0f + 0.090f * 30, 1e-4);
    gr->reset();
    refresh(3000, 0.0f);  // no gain at all counts as -30 dB
    EXPECT_EQ(gr->getHeldL(), -30.0f);
}

TEST(Meters, ALeftClickAsksForAResetAndTheReadoutClearsItself) {
    ViewFrame f;
    TestBitmap back(524, 462), font(5, 1536);
    auto* lcd = f.add(new CMeterLCD({131, 415, 224, 426}, &f.recorder, 27, back, font, font));
    lcd->refreshMeters(0.5f, 0.5f);
    EXPECT_EQ(f.down(150, 420, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(f.down(150, 420, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(f.recorder.log, std::vector<std::string>{"27=0"});
    EXPECT_EQ(lcd->getMaxL(), -120.0f);
}
