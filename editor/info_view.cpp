#include "editor/info_view.h"

#include <cstdio>
#include <cstring>

#include "editor/MyFrame.h"

namespace {
constexpr CColor kPanelFill{213, 236, 246, 255};
constexpr CColor kDark{79, 79, 79, 255};
}  // namespace

CInfo::CInfo(const CRect& size, CBitmap* background, CBitmap* font)
    : CControl(size, nullptr, 0, background), printer(font), savedSize(size) {}

void CInfo::setLatency(long samples) {
    latency = samples;
    setDirty();
}

// At fixed frame places, whatever the view's own rectangle: the frame draws its
// modal view over everything on each pass.
void CInfo::draw(CDrawContext* context) {
    if (shown) {
        context->setFillColor(kPanelFill);
        context->setFrameColor(kDark);
        context->setLineWidth(3);
        context->drawRect(kPanel, kDrawFilledAndStroked);
        context->setLineWidth(1);
        context->setFillColor(kDark);
        context->fillRect(CRect(54, 301, 109, 310));
        printer.printText(context, CPoint(55, 309), "Kav Tamor", false, true);
        printer.printText(context, CPoint(200, 309),
                          "Brickwall Limiting, Metering and Requantizing");
        printer.printText(context, CPoint(55, 323), "Version:");
        printer.printText(context, CPoint(440, 323), "1.5.1");
        printer.printText(context, CPoint(55, 351), "Current process latency (samples):");
        char text[24];
        std::snprintf(text, sizeof text, "%ld", latency);
        printer.printText(context, CPoint(470 - 6 * static_cast<CCoord>(std::strlen(text)), 351),
                          text);
        printer.printText(context, CPoint(165, 421), "VST plugin technology by Steinberg");
    }
    setDirty(false);
}

CMouseEventResult CInfo::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    auto* frame = dynamic_cast<MyFrame*>(getFrame());
    shown = !shown;
    if (shown) {
        // The panel takes every click of the window until it closes.
        setViewSize(CRect(0, 0, 0, 0), false);
        if (frame) frame->makeModal(this);
    } else {
        setViewSize(savedSize, false);
        if (frame) frame->closeModal();
    }
    if (frame) frame->setDirty(true);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
