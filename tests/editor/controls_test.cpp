// The editor's controls with synthetic input: the values sent, their order and edit bracket.
#include <gtest/gtest.h>

#include "editor/knob.h"
#include "editor/mode_button.h"
#include "editor/on_off_buttons.h"
#include "editor/speed_switch.h"
#include "editor/steppers.h"
#include "engine/parameters.h"
#include "tests/editor/editor_test_support.h"

using namespace kt::test;

TEST(OnOffButtons, ToggleClickWheelAndStorableRightClick) {
    ViewFrame f;
    TestBitmap image(33, 72);
    auto* plain = f.add(new CKavOnOffButton({10, 10, 43, 29}, &f.recorder, 3, image));
    f.click(20, 20);
    f.click(20, 20, kRButton);            // not handled
    EXPECT_TRUE(f.wheel(20, 20, 0.05f));  // less than a notch
    EXPECT_TRUE(f.wheel(20, 20, -1.0f));
    EXPECT_EQ(f.recorder.text(), "begin 3, 3=1, end 3, begin 3, 3=0, end 3");
    EXPECT_EQ(plain->getValue(), 0.0f);

    // A host's "on" (0.75) turns off with one click; no edit bracket.
    auto* ovs = f.add(
        new COversamplingButton({100, 10, 133, 29}, &f.recorder, 6, image, TestBitmap(33, 19)));
    ovs->setValue(0.75f);
    f.recorder.clear();
    f.click(110, 20);
    EXPECT_EQ(f.recorder.text(), "6=0");

    auto* power = f.add(new CTamorButton({10, 40, 28, 64}, &f.recorder, 8, image, false));
    f.add(new CTamorButton({50, 40, 68, 64}, &f.recorder, 21, image, true));
    f.recorder.clear();
    f.click(15, 45);
    f.click(15, 45);
    EXPECT_EQ(power->getValue(), 0.25f);
    EXPECT_EQ(f.down(15, 45, kRButton), kMouseEventNotHandled) << "Power is not storable";
    EXPECT_EQ(f.down(55, 45, kRButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(f.recorder.text(), "8=0.75, 8=0.25, save defaults");

    auto* black =
        f.add(new CAutoBlack({100, 40, 133, 59}, &f.recorder, 17, image, TestBitmap(33, 19)));
    black->setAutoblack(0.75f);
    f.recorder.clear();
    f.click(110, 50);
    EXPECT_EQ(f.recorder.text(), "17=0.25");
}

TEST(Steppers, ArrowsCentreClickDragAndWheel) {
    ViewFrame f;
    TestBitmap image(33, 341);
    auto* bits = f.add(new CBits({412, 72, 445, 103}, &f.recorder, 10, image));
    bits->setBits(0.9f);  // 24 bits
    f.click(420, 80);     // upper arrow: stays at the top, sent again
    EXPECT_EQ(f.recorder.text(), "10=0.9");
    f.recorder.clear();
    f.click(420, 90);  // centre, no move: steps round to 8 bits
    EXPECT_EQ(f.recorder.text(), "begin 10, 10=0.1, end 10");
    EXPECT_EQ(bits->getStep(), 0);

    bits->setBits(0.5f);
    f.recorder.clear();
    f.down(420, 90, kLButton);
    f.move(420, 87, kLButton);  // 3 pixels up: a drag, not a click
    f.up(420, 87);
    ASSERT_EQ(f.recorder.values().size(), 1u);
    EXPECT_NEAR(f.recorder.values()[0], 0.5f + 3 * 0.015f, 1e-6);
    EXPECT_GE(f.recorder.idleRequests, 1) << "a drag keeps the meters going";

    bits->setBits(0.5f);
    f.recorder.clear();
    f.wheel(420, 90, 0.05f);
    EXPECT_TRUE(f.recorder.log.empty());
    f.wheel(420, 90, 1.0f);
    EXPECT_EQ(f.recorder.values(), std::vector<float>{0.75f});
    f.click(420, 100);  // lower arrow, from the step shown (2)
    EXPECT_EQ(f.recorder.values().back(), 0.3f);
}

TEST(SpeedSwitch, KeysSelectGapsDoNothingWheelSteps) {
    ViewFrame f;
    TestBitmap image(90, 75);
    auto* speed = f.add(new CSpeedSwitch({38, 121, 128, 146}, &f.recorder, 4, image));
    f.click(80, 130);
    f.click(63, 130);  // between keys
    f.click(122, 140);
    EXPECT_EQ(f.recorder.values(), (std::vector<float>{0.5f, kt::paramLongToCont(2, 3)}));
    f.wheel(60, 130, -1.0f);
    EXPECT_EQ(speed->getValue(), 0.5f);
}

TEST(ModeButton, TypeKeyScaleArrowsCentreDragWheelAndSave) {
    ViewFrame f;
    TestBitmap image(35, 496);
    auto* mode = f.add(new CModeButton({223, 305, 258, 367}, &f.recorder, 9, image));
    mode->setMeterType(0.75f);
    mode->setScale(0.5f);  // K-14
    f.click(240, 310);     // the PEAK key
    f.click(240, 340);     // scale up
    f.click(240, 365);     // scale down
    f.click(240, 328);     // the dead band
    EXPECT_EQ(f.recorder.text(), "type 0, scale 2, type 1, scale 1, type 1");
    for (const bool drag : {false, true}) {  // a centre click steps round, a far drag tops out
        f.recorder.clear();
        f.down(240, 353, kLButton);
        if (drag) f.move(240, 320, kLButton);
        f.up(240, drag ? 320 : 353);
        EXPECT_EQ(f.recorder.text(), "begin 9, type 1, scale 2, type 1, end 9");
    }
    f.recorder.clear();
    f.wheel(240, 310, 1.0f);
    f.wheel(240, 350, -1.0f);
    f.down(240, 350, kRButton);
    EXPECT_EQ(f.recorder.text(), "type 0, scale 1, save defaults");
}

TEST(Knob, DragFineDragWithoutAJumpDoubleClickAndWheel) {
    ViewFrame f;
    TestBitmap image(50, 101 * 48);
    auto* knob = f.add(new CMyKnob({55, 169, 105, 217}, &f.recorder, 2, 101, 48, image));
    knob->setDragScale(1.0f);
    knob->setWheelStep(0.05f);
    knob->setDefaultValue(0.2f);
    knob->setValue(0.5f);
    f.down(80, 190, kLButton);
    f.move(80, 150, kLButton);  // 40 of 400 pixels up
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    f.move(80, 149, kLButton | kShift);  // Shift pressed: no jump...
    EXPECT_NEAR(knob->getValue(), 0.6f + 1.0f / 400, 1e-6);
    f.move(90, 149, kLButton | kShift);  // ...and five times finer from there
    EXPECT_NEAR(knob->getValue(), 0.6f + 1.0f / 400 + 10.0f / 2000, 1e-6);
    f.move(90, 148, kLButton);  // released: no jump either
    EXPECT_NEAR(knob->getValue(), 0.6f + 1.0f / 400 + 11.0f / 2000, 1e-6);
    f.up(90, 148);
    ASSERT_EQ(f.recorder.log.front(), "begin 2");
    EXPECT_EQ(f.recorder.log.back(), "end 2");

    f.recorder.clear();
    f.down(80, 190, kLButton | kDoubleClick);
    EXPECT_EQ(f.recorder.text(), "begin 2, 2=0.2, end 2");
    f.recorder.clear();
    f.wheel(80, 190, 0.05f);
    f.wheel(80, 190, 3.0f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.2f + 0.05f * 0.05f + 0.005f, 1e-6);
    EXPECT_EQ(f.recorder.log.size(), 6u) << "each wheel change is one edit";
}
