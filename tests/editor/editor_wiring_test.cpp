// The editor wired to the effect both ways, the meter poll and the stored display defaults.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/info_view.h"
#include "editor/knob.h"
#include "editor/level_meters.h"
#include "editor/meter_readouts.h"
#include "editor/mode_button.h"
#include "editor/on_off_buttons.h"
#include "editor/steppers.h"
#include "engine/parameters.h"
#include "platform/preferences.h"
#include "tests/editor/editor_fixture.h"

using namespace kt;
using namespace kt::test;
using Log = std::vector<std::string>;

TEST_F(EditorFixture, AttShowButtonsSetAndClearTheirBitOfTheMask) {
    plugin->setParameter(kAttShow, paramLongToCont(5, 8));
    EXPECT_EQ(editor->getControl(28)->getValue(), 0.75f);
    EXPECT_EQ(editor->getControl(29)->getValue(), 0.25f);
    EXPECT_EQ(editor->getControl(30)->getValue(), 0.75f);
    click(240, 239);  // trace "2" on
    EXPECT_EQ(plugin->getParameter(kAttShow), 0.9375f);
    click(240, 274);  // trace "1" off
    EXPECT_EQ(plugin->getParameter(kAttShow), paramLongToCont(6, 8));
    EXPECT_EQ(hostLog(), (Log{"automate 20", "automate 20"}));
}

TEST_F(EditorFixture, MeterScaleCodeFollowsTypeAndScale) {
    auto* in = view<CMeterIn>();
    auto* readout = view<CMeterLCD>(1);
    plugin->setParameterAutomated(kScale, paramLongToCont(2, 3));
    EXPECT_EQ(in->getScale(), 0) << "the peak type ignores the K scale";
    plugin->setParameterAutomated(kScale, paramLongToCont(1, 3));
    plugin->setParameterAutomated(kMeterType, paramLongToCont(1, 2));
    EXPECT_EQ(in->getScale(), 2);
    EXPECT_EQ(readout->getScale(), 2);
    EXPECT_EQ(view<CModeButton>()->getMeterType(), 1);
    click(240, 310);  // the mode button's PEAK key
    EXPECT_EQ(in->getScale(), 0);
    EXPECT_EQ(paramContToLong(plugin->getParameter(kMeterType), 2), 0);
}

TEST_F(EditorFixture, MetersArePolledAtMostEvery40MsAndAClickResetsThemAll) {
    const int polls = meters.polls;
    idleAfter(50);
    idleAfter(20);
    EXPECT_EQ(meters.polls, polls + 1) << "two idle calls 20 ms apart poll once";
    idleAfter(20);
    EXPECT_EQ(meters.polls, polls + 2);
    auto* readoutIn = view<CMeterLCD>(0);
    auto* readoutOut = view<CMeterLCD>(1);
    auto* readoutGR = view<CMeterLCDGR>();
    EXPECT_NEAR(readoutOut->getMaxL(), -6.02f, 0.01f);
    EXPECT_NEAR(readoutGR->getMinL(), -6.02f, 0.01f);

    click(125, 380);  // PostMeter: the input side only starts again
    EXPECT_EQ(readoutIn->getMaxL(), -120.0f);
    EXPECT_NEAR(readoutOut->getMaxL(), -6.02f, 0.01f);
    click(262, 100);  // the gain-reduction meter
    EXPECT_EQ(readoutOut->getMaxL(), -120.0f);
    EXPECT_EQ(readoutGR->getMinL(), 0.0f);
    EXPECT_EQ(view<CMeterOut>()->getHeldL(), -122.0f);
    EXPECT_EQ(hostLog(), Log{"automate 21"}) << "a meter click is not a parameter";
}

TEST_F(EditorFixture, DisplayDefaultsAreStoredAndShownAsSaved) {
    plugin->setParameter(kMeterType, paramLongToCont(1, 2));
    plugin->setParameter(kScale, paramLongToCont(2, 3));
    plugin->setParameter(kAttZoom, paramLongToCont(1, 2));
    plugin->setParameter(kAttShow, paramLongToCont(3, 8));
    click(125, 380, kRButton);  // the PostMeter button stores them
    EXPECT_EQ(prefs::readInt("Metering_Scale"), 2);
    EXPECT_EQ(prefs::readInt("Metering_Type"), 1);
    EXPECT_EQ(prefs::readInt("Metering_Zoom"), 1);
    EXPECT_EQ(prefs::readInt("Metering_AttShow"), 3);
    EXPECT_EQ(prefs::readInt("Metering_Recon"), 0);
    EXPECT_EQ(prefs::readInt("Metering_Post"), 0);
    auto* zoom = dynamic_cast<CTamorButton*>(editor->getControl(19));
    ASSERT_TRUE(zoom);
    EXPECT_TRUE(zoom->isSaved());
    EXPECT_TRUE(view<CModeButton>()->isSaved());
    idleAfter(450);
    EXPECT_TRUE(zoom->isSaved());
    idleAfter(60);
    EXPECT_FALSE(zoom->isSaved());
    EXPECT_FALSE(view<CModeButton>()->isSaved());
}

TEST_F(EditorFixture, HostAutomationFromAnotherThreadMovesTheControlsOnIdle) {
    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int i = 0; i < 3000; ++i) {
            plugin->setParameter(kOutput, static_cast<float>(i % 100) / 100);
            plugin->setParameter(kQuantize, i % 2 ? 0.75f : 0.25f);
            plugin->setParameter(kAttShow, paramLongToCont(i % 8, 8));
        }
        editor->setLatency(543);
        done = true;
    });
    while (!done) idleAfter(41);
    host.join();
    idleAfter(41);
    EXPECT_EQ(editor->getControl(kOutput)->getValue(), plugin->getParameter(kOutput));
    EXPECT_EQ(editor->getControl(kQuantize)->getValue(), plugin->getParameter(kQuantize));
    EXPECT_EQ(editor->getControl(30)->getValue(), 0.75f);
    EXPECT_EQ(view<CInfo>()->getLatency(), 543);
}

TEST_F(EditorFixture, ChangesWhileClosedShowWhenTheWindowOpens) {
    editor->close();
    plugin->setParameter(kQuantize, 0.75f);
    plugin->setParameter(kDrive, 0.25f);
    idleAfter(50);
    editor->open(nullptr);
    EXPECT_EQ(editor->getControl(kQuantize)->getValue(), 0.75f);
    EXPECT_EQ(editor->getControl(kDrive)->getValue(), 0.25f);
    plugin->setSampleRate(96000);  // the latency shows at once on this thread
    EXPECT_EQ(view<CInfo>()->getLatency(), 287);
}

TEST_F(EditorFixture, AKnobDragIsOneEditForTheHost) {
    MyFrame* frame = editor->window();
    frame->platformMouseDown(80, 380, kLButton, 1);
    frame->platformMouseMoved(80, 370, kLButton);
    frame->platformMouseMoved(80, 360, kLButton);
    frame->platformMouseUp(80, 360, kLButton);
    EXPECT_EQ(hostLog(), (Log{"begin 1", "automate 1", "automate 1", "end 1"}));
    EXPECT_NEAR(plugin->getParameter(kDrive), 0.5f + 20.0f / 400, 1e-6);
}
