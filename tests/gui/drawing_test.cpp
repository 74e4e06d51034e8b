// Redrawing: dirty views, the regions redrawn and shown, clipping, bitmaps
// with source offsets and alpha, and the knob strip.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "tests/gui/gui_test_support.h"

using namespace kt::test;

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

CBitmap* bitmapOf(int width, int band, const std::vector<std::uint32_t>& colours) {
    const auto png = stripedPng(width, band, colours);
    return new CBitmap(png.data(), png.size());
}

}  // namespace

TEST(Redraw, OnlyDirtyViewsAreRedrawnAndOnlyTheirAreaIsShown) {
    TestFrame frame(200, 100);
    auto* a = new ProbeView(CRect(10, 10, 30, 30), kMouseEventHandled, kRed);
    auto* b = new ProbeView(CRect(100, 50, 140, 90), kMouseEventHandled, kGreen);
    frame->addView(a);
    frame->addView(b);
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(frame.pixel(20, 20), kRed);
    EXPECT_EQ(frame.pixel(120, 70), kGreen);

    const int shown = frame.platform().presentCount;
    frame->idle();  // nothing dirty: nothing drawn, nothing shown
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(frame.platform().presentCount, shown);

    b->setDirty();
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    const int* r = frame.platform().lastPresent;
    EXPECT_EQ((std::vector<int>{r[0], r[1], r[2], r[3]}), (std::vector<int>{100, 50, 40, 40}));
}

// The host may automate from its audio thread while the editor draws; a value
// change alone makes a control dirty, and the next pass redraws it.
TEST(Redraw, ValuesSetFromAnotherThreadWhileTheFrameRedraws) {
    TestFrame frame(100, 40);
    auto* control = new CControl(CRect(0, 0, 10, 10));
    auto* label = new CTextLabel(CRect(10, 0, 100, 20));
    label->setStringConvert([](float v, char* text, void*) { std::snprintf(text, 32, "%.3f", v); });
    frame->addView(control);
    frame->addView(label);
    frame->idle();
    control->setValue(0.3f);
    EXPECT_TRUE(control->isDirty());
    frame->idle();
    EXPECT_FALSE(control->isDirty());
    std::atomic<bool> done{false};
    std::thread automation([&] {
        for (int i = 0; i <= 2000; ++i) {
            control->setValue(i / 2000.0f);
            label->setValue(i / 2000.0f);
            control->setDirty();
        }
        done = true;
    });
    while (!done) frame->idle();
    automation.join();
    frame->idle();
    EXPECT_EQ(control->getValue(), 1.0f);
    EXPECT_STREQ(label->getText(), "1.000");
}

TEST(Redraw, ADirtyViewIsDrawnOverTheFrameBackgroundAndUnderViewsAbove) {
    TestFrame frame(100, 100);
    CBitmap* back = bitmapOf(100, 100, {kBlue});
    frame->setBackground(back);
    back->forget();  // the frame keeps its own reference
    auto* low = new ProbeView(CRect(10, 10, 50, 50), kMouseEventHandled, kRed);
    auto* high = new ProbeView(CRect(30, 30, 70, 70), kMouseEventHandled, kGreen);
    frame->addView(low);
    frame->addView(high);
    frame->idle();
    low->setDirty();
    frame->idle();
    EXPECT_EQ(frame.pixel(20, 20), kRed);
    EXPECT_EQ(frame.pixel(40, 40), kGreen) << "the view above stays on top";
    EXPECT_EQ(frame.pixel(5, 5), kBlue);
    low->setVisible(false);
    frame->idle();
    EXPECT_EQ(frame.pixel(20, 20), kBlue);
}

TEST(Redraw, ViewsAreClippedToThemselvesAndToTheUpdateArea) {
    // A view that paints far beyond its own rectangle.
    struct Sprawl : CView {
        Sprawl() : CView(CRect(20, 20, 40, 40)) {}
        void draw(CDrawContext* c) override {
            c->setFillColor(CColor(255, 0, 0));
            c->fillRect(CRect(0, 0, 100, 100));
            setDirty(false);
        }
    };
    TestFrame frame(100, 100);
    frame->setBackgroundColor(CColor(255, 255, 255));
    frame->addView(new Sprawl);
    frame->idle();
    EXPECT_EQ(frame.pixel(25, 25), kRed);
    EXPECT_EQ(frame.pixel(10, 10), kWhite);
    EXPECT_EQ(frame.pixel(45, 30), kWhite);

    auto context = frame->createDrawContext();
    context->setClipRect(CRect(0, 0, 30, 100));
    CRect clip;
    context->getClipRect(clip);
    EXPECT_EQ(clip, CRect(0, 0, 30, 100));
    context->setFillColor(CColor(0, 0, 255));
    context->fillRect(CRect(0, 0, 100, 100));
    EXPECT_EQ(frame.pixel(29, 50), kBlue);
    EXPECT_EQ(frame.pixel(30, 50), kWhite);
}

TEST(Bitmap, DrawsWithASourceOffsetIntoItsDestinationOnly) {
    TestFrame frame(60, 60);
    frame->setBackgroundColor(CColor(255, 255, 255));
    frame->idle();
    CBitmap* strip = bitmapOf(10, 10, {kRed, kGreen, kBlue});
    EXPECT_TRUE(strip->isLoaded());
    EXPECT_EQ(strip->getWidth(), 10);
    EXPECT_EQ(strip->getHeight(), 30);
    auto context = frame->createDrawContext();
    strip->draw(context.get(), CRect(20, 20, 30, 30), CPoint(0, 10));  // the green band
    EXPECT_EQ(frame.pixel(20, 20), kGreen);
    EXPECT_EQ(frame.pixel(29, 29), kGreen);
    EXPECT_EQ(frame.pixel(30, 25), kWhite);
    EXPECT_EQ(frame.pixel(25, 30), kWhite);
    // Beyond the image's end the destination stays as it was.
    strip->draw(context.get(), CRect(40, 0, 50, 20), CPoint(0, 20));
    EXPECT_EQ(frame.pixel(45, 5), kBlue);
    EXPECT_EQ(frame.pixel(45, 15), kWhite);
    // Half alpha blends with what is below.
    strip->draw(context.get(), CRect(0, 40, 10, 50), CPoint(0, 0), 0.5f);
    const std::uint32_t blended = frame.pixel(5, 45);
    EXPECT_EQ(blended >> 16, 0xFFu);
    EXPECT_NEAR(static_cast<int>((blended >> 8) & 255), 128, 2);
    strip->forget();
}

TEST(Bitmap, AMissingResourceIsEmptyAndDrawsNothing) {
    TestFrame frame(20, 20);
    frame->setBackgroundColor(CColor(255, 255, 255));
    frame->idle();
    CBitmap* missing = new CBitmap(-12345);
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->getWidth(), 0);
    auto context = frame->createDrawContext();
    missing->draw(context.get(), CRect(0, 0, 20, 20));
    EXPECT_EQ(frame.pixel(10, 10), kWhite);
    missing->forget();

    const unsigned char garbage[] = {1, 2, 3, 4, 5};
    CBitmap* bad = new CBitmap(garbage, sizeof garbage);
    EXPECT_FALSE(bad->isLoaded());
    bad->forget();
}

TEST(Bitmap, ViewsKeepTheirOwnReference) {
    CBitmap* b = bitmapOf(4, 4, {kRed});
    {
        TestFrame frame(20, 20);
        frame->addView(new CView(CRect(0, 0, 4, 4)));
        frame->getView(0)->setBackground(b);
        EXPECT_EQ(b->getNbReference(), 2);
        b->forget();  // the creator lets go right after building the view
        frame->idle();
        EXPECT_EQ(frame.pixel(1, 1), kRed);
    }
}

TEST(AnimKnob, ShowsTheSubImageOfItsValue) {
    TestFrame frame(20, 20);
    CBitmap* strip = bitmapOf(10, 10, {kRed, kGreen, kBlue});
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, 3, 3, 10, strip);
    strip->forget();
    frame->addView(knob);
    const std::pair<float, std::uint32_t> cases[] = {
        {0.24f, kRed}, {0.5f, kGreen}, {0.74f, kGreen}, {0.76f, kBlue}};
    for (const auto& [value, colour] : cases) {
        knob->setValue(value);
        frame->idle();
        EXPECT_EQ(frame.pixel(5, 5), colour) << "value " << value;
    }
    knob->setValue(-3.0f);  // out of range values stay on the strip
    EXPECT_EQ(knob->imageIndex(), 0);
    knob->setValue(7.0f);
    EXPECT_EQ(knob->imageIndex(), 2);
}
