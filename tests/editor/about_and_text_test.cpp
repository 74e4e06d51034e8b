// The about panel as a modal view, and the bitmap-font printers.
#include <gtest/gtest.h>

#include "editor/info_view.h"
#include "editor/knob.h"
#include "editor/text_printer.h"
#include "tests/editor/editor_test_support.h"

using namespace kt::test;

namespace {
constexpr int kFont = 61, kOver = 62, kKnob = 63;
}

TEST(AboutPanel, OpensModalShowsTheLatencyAndTheNextClickOnlyClosesIt) {
    ViewFrame f;
    RowCodedBitmap font(5, 1536, kFont), knobImage(50, 101 * 48, kKnob);
    auto* knob = f.add(new CMyKnob({55, 169, 105, 217}, &f.recorder, 2, 101, 48, knobImage));
    knob->setValue(0.5f);
    auto* info = f.add(new CInfo({224, 370, 301, 401}, nullptr, font));
    info->setLatency(159);
    f.idle();
    EXPECT_EQ(f.sourceRow(60, 169, kKnob), 50 * 48);

    f.click(250, 380);
    EXPECT_TRUE(info->isShown());
    EXPECT_EQ(f->getModal(), info);
    f.idle();
    EXPECT_EQ(f.pixel(100, 380), 0xD5ECF6u) << "the panel";
    EXPECT_EQ(f.pixel(43, 294), 0x4F4F4Fu) << "its outline";
    EXPECT_EQ(f.sourceRow(470 - 18, 344, kFont), 8 * ('1' - 32)) << "159 ends at x 470";
    EXPECT_EQ(f.sourceRow(55, 302, kFont), 8 * ('K' - 32 + 96)) << "the name, inverse";
    info->setLatency(543);
    f.idle();
    EXPECT_EQ(f.sourceRow(470 - 18, 344, kFont), 8 * ('5' - 32));

    f.down(80, 190, kLButton);  // on the knob, under the panel
    f.move(80, 100, kLButton);
    f.up(80, 100);
    EXPECT_FALSE(info->isShown());
    EXPECT_EQ(f->getModal(), nullptr);
    EXPECT_EQ(knob->getValue(), 0.5f);
    EXPECT_TRUE(f.recorder.log.empty());
    f.idle();
    EXPECT_EQ(f.sourceRow(60, 169, kKnob), 50 * 48) << "the window is whole again";
    EXPECT_EQ(f.down(250, 380, kRButton), kMouseEventNotHandled);
}

TEST(TextPrinter, CellsColoursAdvanceAndForeignCodes) {
    ViewFrame f(100, 100);
    RowCodedBitmap font(5, 1536, kFont), over(5, 1536, kOver);
    auto context = f->createDrawContext();
    context->setFillColor(kRedCColor);
    CTextPrinter printer(font);
    printer.printText(context.get(), CPoint(10, 20), "Ab");
    EXPECT_EQ(f.sourceRow(10, 13, kFont), 8 * ('A' - 32));
    EXPECT_EQ(f.sourceRow(14, 20, kFont), 8 * ('A' - 32) + 7) << "5 x 8 cells";
    EXPECT_EQ(f.sourceRow(15, 13, kFont), -1) << "the column between glyphs is left alone";
    EXPECT_EQ(f.sourceRow(16, 13, kFont), 8 * ('b' - 32));
    printer.printText(context.get(), CPoint(40, 20), "x\x01\xff", true, true);
    EXPECT_EQ(f.sourceRow(40, 13, kFont), 8 * ('x' - 32 + 96)) << "inverse";
    EXPECT_EQ(f.sourceRow(40, 21, kFont), 0) << "vertical; a control code shows a blank";
    EXPECT_EQ(f.sourceRow(40, 29, kFont), 0) << "beyond the font: a blank";
    EXPECT_EQ(context->getFillColor(), kRedCColor) << "colours are given back";

    CTextPrinter2Color twoColour(font, over);
    twoColour.printText(context.get(), CPoint(10, 60), "1", false, true, true);
    EXPECT_EQ(f.sourceRow(10, 53, kOver), 8 * ('1' - 32 + 96));
    twoColour.printText(context.get(), CPoint(10, 80), "", false, true, true);
    EXPECT_EQ(f.sourceRow(10, 73, kOver), -1) << "an empty text draws nothing";
}
