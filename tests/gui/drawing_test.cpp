// Redrawing: dirty views, the regions redrawn and shown, clipping, bitmaps.
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

// Host automation from its audio thread while the editor draws.
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

TEST(Redraw, ViewsAreClippedToThemselves) {
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
