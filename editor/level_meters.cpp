#include "editor/level_meters.h"

#include <algorithm>
#include <cmath>

namespace {

enum BitmapSlot {
    kBackground,
    kUnlitPeak,
    kLitPeak,
    kLegendK20,
    kLegendK14,
    kLegendK12,
    kUnlitK,
    kLitK
};

float toDb(float linear) {
    if (!(linear >= 0.000001f)) linear = 0.000001f;  // also NaN
    return 20.0f * std::log10(linear);
}

}  // namespace

CLevelMeter::CLevelMeter(const CRect& size, CControlListener* listener, long tag, const Bitmaps& b,
                         const Geometry& geometry)
    : CMeterControl(size, listener, tag),
      bitmaps{kt::ui::BitmapRef(b[0]), kt::ui::BitmapRef(b[1]), kt::ui::BitmapRef(b[2]),
              kt::ui::BitmapRef(b[3]), kt::ui::BitmapRef(b[4]), kt::ui::BitmapRef(b[5]),
              kt::ui::BitmapRef(b[6]), kt::ui::BitmapRef(b[7])},
      geometry(geometry) {}

void CLevelMeter::refreshMeters(std::uint32_t now, float inPeakL, float inPeakR, float inRmsL,
                                float inRmsR) {
    ticks = now;
    peakL = std::min(toDb(inPeakL), 20.0f);
    peakR = std::min(toDb(inPeakR), 20.0f);
    rmsL = toDb(inRmsL);
    rmsR = toDb(inRmsR);
    setDirty();
}

void CLevelMeter::setScale(long code) {
    scale = code;
    setDirty();
}

void CLevelMeter::reset() {
    peakL = peakR = rmsL = rmsR = heldL = heldR = -122;
    setDirty();
}

void CLevelMeter::draw(CDrawContext* context) {
    const std::uint32_t elapsed = takeElapsed();
    holdAndFall(heldL, holdL, elapsed, peakL);
    holdAndFall(heldR, holdR, elapsed, peakR);

    static constexpr int kLegendOfScale[4] = {kLegendK12, kLegendK12, kLegendK14, kLegendK20};
    const int legend = kLegendOfScale[std::clamp(scale, 0L, 3L)];
    bitmaps[legend].draw(context, CRect(geometry.legend, 38, geometry.legendEnd, 405));
    if (scale <= 0) {
        drawBar(context, geometry.leftBar, geometry.leftBarEnd, heldL, heldL);
        drawBar(context, geometry.rightBar, geometry.rightBarEnd, heldR, heldR);
    } else {
        drawBar(context, geometry.leftBar, geometry.leftBarEnd, rmsL, heldL);
        drawBar(context, geometry.rightBar, geometry.rightBarEnd, rmsR, heldR);
    }
    setDirty(false);
}

// One bar from x left to right: the level `bar` lit from the bottom, the rest
// unlit, and on the K scales a 3-pixel marker at the held peak.
void CLevelMeter::drawBar(CDrawContext* context, CCoord left, CCoord right, float bar, float held) {
    if (scale <= 0) {
        const int h = levelPixels(bar, 48, 6, kBarPixels);
        bitmaps[kLitPeak].draw(context, CRect(left, kBarBottom - h, right, kBarBottom),
                               CPoint(0, 408 - h));
        bitmaps[kUnlitPeak].draw(context, CRect(left, kBarTop, right, kBarBottom - h),
                                 CPoint(0, 48));
        return;
    }
    // The bar images' colour zones shift with the scale so each puts 0 dBr in place.
    static constexpr CCoord kShift[4] = {0, 30, 18, -18};
    const CCoord s = kShift[std::clamp(scale, 1L, 3L)];
    const int h = levelPixels(bar, 60, 6, kBarPixels);
    bitmaps[kLitK].draw(context, CRect(left, kBarBottom - h, right, kBarBottom),
                        CPoint(0, kBarBottom - h + s));
    bitmaps[kUnlitK].draw(context, CRect(left, kBarTop, right, kBarBottom - h),
                          CPoint(0, kBarTop + s));
    const int hp = levelPixels(held, 60, 6, kBarPixels);
    if (hp >= 3)
        bitmaps[kLitK].draw(context, CRect(left, kBarBottom - hp, right, kBarBottom - hp + 3),
                            CPoint(0, kBarBottom - hp + s));
}

CMeterIn::CMeterIn(const CRect& size, CControlListener* listener, long tag, const Bitmaps& bitmaps)
    : CLevelMeter(size, listener, tag, bitmaps, {150, 165, 191, 206, 164, 191}) {}

CMeterOut::CMeterOut(const CRect& size, CControlListener* listener, long tag,
                     const Bitmaps& bitmaps)
    : CLevelMeter(size, listener, tag, bitmaps, {320, 335, 363, 378, 335, 362}) {}
