#include "editor/gr_meter.h"

#include <algorithm>
#include <cmath>

#include "engine/parameters.h"
#include "gui/CBitmap.h"

namespace {

float gainToDb(float gain) {
    const float dB = 20.0f * std::log10(gain);
    return dB >= -30.0f ? dB : -30.0f;  // also for no gain at all and NaN
}

}  // namespace

CMeterGR::CMeterGR(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                   CBitmap* bar)
    : CMeterControl(size, listener, tag, background), bar(bar) {}

void CMeterGR::refreshMeters(std::uint32_t now, float gainL, float gainR) {
    ticks = now;
    grL = gainToDb(gainL);
    grR = gainToDb(gainR);
    setDirty();
}

void CMeterGR::setZoom(float v) {
    zoom = kt::paramContToLong(v, 2) != 0 ? 1 : 0;
    setDirty();
}

void CMeterGR::reset() {
    grL = grR = heldL = heldR = 0;
    setDirty();
}

CCoord CMeterGR::barBottom(float held) const {
    if (held > -0.1f) return kBarTop;
    const double perDb = zoom ? -12 : -6;
    return kBarTop + std::min(levelPixels(held, 0, perDb, kBarPixels - 1) + 1, kBarPixels);
}

void CMeterGR::draw(CDrawContext* context) {
    if (background) background->draw(context, size, CPoint(0, zoom ? getHeight() : 0));
    const std::uint32_t elapsed = takeElapsed();
    holdAndRelease(heldL, holdL, elapsed, grL);
    holdAndRelease(heldR, holdR, elapsed, grR);
    bar.draw(context, CRect(234, kBarTop, 249, barBottom(heldL)));
    bar.draw(context, CRect(275, kBarTop, 290, barBottom(heldR)));
    setDirty(false);
}
