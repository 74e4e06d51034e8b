#include "editor/meter_readouts.h"

#include <cmath>
#include <cstdio>

#include "gui/CBitmap.h"

namespace {

constexpr CColor kBoxColour{79, 79, 79, 255};

std::string formatted(const char* format, float value) {
    char text[48];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    return text;
}

// The two channel boxes of a readout whose left and bottom are x and y2.
CRect channelBox(CCoord x, CCoord y2, int channel) {
    const CCoord left = x + (channel == 0 ? 1 : 61);
    return CRect(left, y2 - 10, left + 31, y2 - 1);
}

// Up to five characters centred in the channel's box.
CPoint channelText(CCoord x, CCoord y2, int channel, const std::string& text) {
    const CCoord left = x + (channel == 0 ? 2 : 62);
    return CPoint(left + 3 * (5 - static_cast<CCoord>(text.size())), y2 - 2);
}

void drawBackground(CBitmap* background, CDrawContext* context, const CRect& size) {
    if (background) background->draw(context, size, size.getTopLeft());
    context->setFillColor(kBoxColour);
}

}  // namespace

// ---- CMeterLCD

CMeterLCD::CMeterLCD(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                     CBitmap* font, CBitmap* overFont)
    : CMeterControl(size, listener, tag, background), printer(font, overFont) {}

void CMeterLCD::refreshMeters(float peakL, float peakR) {
    const float dL = 20.0f * std::log10(peakL), dR = 20.0f * std::log10(peakR);
    if (dL > maxL) maxL = dL;
    if (dR > maxR) maxR = dR;
    setDirty();
}

void CMeterLCD::setScale(long code) {
    scale = code;
    setDirty();
}

void CMeterLCD::reset() {
    maxL = maxR = -120;
    setDirty();
}

CMouseEventResult CMeterLCD::onMouseDown(CPoint& where, const CButtonState& buttons) {
    const CMouseEventResult result = CMeterControl::onMouseDown(where, buttons);
    if (result != kMouseEventNotHandled) reset();
    return result;
}

std::string CMeterLCD::valueText(float max) const {
    static constexpr float kReference[4] = {0, 12, 14, 20};
    const float shown = max + kReference[scale >= 0 && scale <= 3 ? scale : 0];
    return shown <= -100 ? "-oo" : formatted("%+2.1f", shown);
}

void CMeterLCD::draw(CDrawContext* context) {
    const CCoord x = size.left, y2 = size.bottom;
    drawBackground(background, context, size);
    if (scale == 0) {
        printer.printText(context, CPoint(x + 35, y2 - 2), "dBFS");
    } else {
        printer.printText(context, CPoint(x + 35, y2 - 2), "    ");
        printer.printText(context, CPoint(x + 38, y2 - 2), "dBr");
    }
    const float maxima[2] = {maxL, maxR};
    for (int channel = 0; channel < 2; ++channel) {
        const bool over = maxima[channel] > 0;  // above 0 dBFS whatever the scale
        const std::string text = valueText(maxima[channel]);
        context->setFillColor(over ? CTextPrinter::kOverBack : kBoxColour);
        context->fillRect(channelBox(x, y2, channel));
        context->setFillColor(kBoxColour);
        printer.printText(context, channelText(x, y2, channel, text), text.c_str(), false, true,
                          over);
    }
    setDirty(false);
}

// ---- CMeterLCDGR

CMeterLCDGR::CMeterLCDGR(const CRect& size, CControlListener* listener, long tag,
                         CBitmap* background, CBitmap* font)
    : CMeterControl(size, listener, tag, background), printer(font) {}

void CMeterLCDGR::refreshMeters(float gainL, float gainR) {
    const float dL = 20.0f * std::log10(gainL), dR = 20.0f * std::log10(gainR);
    if (dL < minL) minL = dL;
    if (dR < minR) minR = dR;
    setDirty();
}

void CMeterLCDGR::reset() {
    minL = minR = 0;
    setDirty();
}

std::string CMeterLCDGR::valueText(float min) {
    return formatted("%2.1f", min);
}

void CMeterLCDGR::draw(CDrawContext* context) {
    const CCoord x = size.left, y2 = size.bottom;
    drawBackground(background, context, size);
    printer.printText(context, CPoint(x + 41, y2 - 2), "dB");
    const float minima[2] = {minL, minR};
    for (int channel = 0; channel < 2; ++channel) {
        const std::string text = valueText(minima[channel]);
        context->fillRect(channelBox(x, y2, channel));
        printer.printText(context, channelText(x, y2, channel, text), text.c_str(), false, true);
    }
    setDirty(false);
}
