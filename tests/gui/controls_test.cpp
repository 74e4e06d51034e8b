// The library controls with synthetic input and spy listeners.
#include <gtest/gtest.h>

#include "tests/gui/gui_test_support.h"

using namespace kt::test;
using Events = std::vector<std::string>;

TEST(Control, DefaultValueOnControlClickIsOneEditAndBeginEndReachTheEditor) {
    TestFrame frame(100, 100);
    SpyListener spy;
    auto* knob = new CAnimKnob(CRect(0, 0, 40, 40), &spy, 7, 10, 40, nullptr);
    knob->setDefaultValue(0.25f);
    knob->setValue(0.9f);
    frame->addView(knob);
    frame.down(10, 10, kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.25f);
    EXPECT_EQ(spy.values, (std::vector<float>{0.25f}));
    EXPECT_EQ(frame.editor.events, (Events{"begin 7", "end 7"}));
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
}

TEST(KickButton, PressesWhileHeldOverItAndNotifiesPressAndRelease) {
    TestFrame frame(100, 100);
    SpyListener spy;
    auto* kick = new CKickButton(CRect(10, 10, 30, 30), &spy, 1005, 20, nullptr);
    frame->addView(kick);
    frame.down(15, 15, kRButton);
    EXPECT_TRUE(spy.values.empty()) << "only the left button";
    frame.down(15, 15, kLButton);
    EXPECT_EQ(kick->getValue(), 1.0f);
    frame.move(50, 50, kLButton);
    EXPECT_EQ(kick->getValue(), 0.0f);
    frame.move(20, 20, kLButton);
    EXPECT_EQ(kick->getValue(), 1.0f);
    frame.up(20, 20, kLButton);
    EXPECT_EQ(kick->getValue(), 0.0f);
    EXPECT_EQ(spy.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(spy.lastTag, 1005);
}

namespace {

struct PresetMenu : ::testing::Test {
    TestFrame frame{524, 462};
    SpyListener spy;
    COptionMenu* menu =
        new COptionMenu(CRect(320, 448, 333, 460), &spy, 1012, nullptr, nullptr, 0x1E00);
    PresetMenu() {
        for (int i = 0; i < 27; ++i) {
            const std::string name = "Preset " + std::to_string(i);
            menu->addEntry(name.c_str());
        }
        menu->setNbItemsPerColumn(12);
        menu->setCurrent(4);
        frame->addView(menu);
        frame->idle();
    }
    CRect list() const { return frame->getModalView()->getViewSize(); }
};

}  // namespace

TEST_F(PresetMenu, OpensAListInColumnsOfTwelveInsideTheFrame) {
    EXPECT_EQ(menu->getValue(), 4.0f);
    EXPECT_EQ(menu->getNbEntries(), 27);
    frame.down(325, 452, kLButton);
    ASSERT_TRUE(menu->isMenuOpen());
    const CRect r = list();
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 524);
    EXPECT_LE(r.bottom, 462);
    EXPECT_LE(r.bottom, 448) << "opens above the menu when there is no room below";
    const CCoord columnWidth = (r.width() - 2) / 3;
    const CCoord rowHeight = (r.height() - 2) / 12;
    EXPECT_GT(columnWidth, 40);
    // Column 3, row 2 is entry 2 * 12 + 2 = 26.
    frame.down(r.left + 1 + 2.5 * columnWidth, r.top + 1 + 2.5 * rowHeight, kLButton);
    EXPECT_FALSE(menu->isMenuOpen());
    EXPECT_EQ(menu->getCurrentIndex(), 26);
    EXPECT_EQ(spy.values, (std::vector<float>{26.0f}));
    EXPECT_EQ(frame.editor.events, (Events{"begin 1012", "end 1012"}));
    // An empty cell of the last column (row 5 of column 3: 29) selects nothing.
    frame.down(325, 452, kLButton);
    frame.down(r.right - 5, r.top + 1 + 5.5 * rowHeight, kLButton);
    EXPECT_TRUE(menu->isMenuOpen());
    EXPECT_EQ(spy.values.size(), 1u);
}

TEST_F(PresetMenu, EscapeOrAClickOutsideCloseUnchangedAndTheListIsDrawnOnTop) {
    frame.down(325, 452, kLButton);
    frame->idle();
    EXPECT_TRUE(frame.platform().focused) << "the open list takes the keyboard";
    const int x = static_cast<int>(list().left) + 3, y = static_cast<int>(list().top) + 3;
    const std::uint32_t shown = frame.pixel(x, y);
    VstKeyCode escape{0, VKEY_ESCAPE, 0};
    EXPECT_GT(frame->onKeyDown(escape), 0);
    EXPECT_FALSE(menu->isMenuOpen());
    EXPECT_FALSE(frame.platform().focused);
    frame->idle();
    EXPECT_NE(frame.pixel(x, y), shown) << "the list was drawn on top";

    frame.down(325, 452, kLButton);
    frame.down(5, 5, kLButton);
    EXPECT_FALSE(menu->isMenuOpen());
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_TRUE(spy.values.empty());
    EXPECT_EQ(menu->getCurrentIndex(), 4);
}

TEST_F(PresetMenu, KeysMoveThroughTheListAndReturnSelects) {
    frame.down(325, 452, kLButton);
    VstKeyCode down{0, VKEY_DOWN, 0}, right{0, VKEY_RIGHT, 0}, enter{0, VKEY_RETURN, 0};
    frame->onKeyDown(down);
    frame->onKeyDown(right);
    frame->onKeyDown(enter);
    EXPECT_EQ(menu->getCurrentIndex(), 17);
    EXPECT_EQ(spy.values, (std::vector<float>{17.0f}));
}

TEST_F(PresetMenu, NoEntryPastTheEndAndRemovingTheMenuClosesItsList) {
    char title[32];
    EXPECT_FALSE(menu->getEntry(27, title));
    EXPECT_STREQ(title, "");
    frame.down(325, 452, kLButton);
    frame->removeView(menu);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_EQ(frame->getFocusView(), nullptr);
}
