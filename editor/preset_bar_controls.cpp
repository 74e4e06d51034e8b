#include "editor/preset_bar_controls.h"

#include "gui/CBitmap.h"

namespace {

enum ButtonImage { kIdleImage = 0, kHoverImage = 1, kPressedImage = 2 };

void drawImage(CBitmap* strip, CDrawContext* context, const CRect& size, const CPoint& offset,
               int image, CCoord heightOfOneImage) {
    if (strip) strip->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage));
}

}  // namespace

// ---- CPresetBarButton

CPresetBarButton::CPresetBarButton(const CRect& size, CControlListener* listener, long tag,
                                   CCoord heightOfOneImage, CBitmap* background,
                                   const CPoint& offset)
    : CKickButton(size, listener, tag, heightOfOneImage, background, offset) {}

void CPresetBarButton::drawState(CDrawContext* context, bool pressed) {
    const int image = pressed ? kPressedImage : (hovered ? kHoverImage : kIdleImage);
    drawImage(background, context, size, offset, image, heightOfOneImage);
    setDirty(false);
}

CMouseEventResult CPresetBarButton::onMouseMoved(CPoint&, const CButtonState&) {
    return kMouseEventHandled;
}

CMouseEventResult CPresetBarButton::onMouseUp(CPoint&, const CButtonState&) {
    return kMouseEventHandled;
}

CMouseEventResult CPresetBarButton::onMouseEntered(CPoint&, const CButtonState&) {
    hovered = true;
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CPresetBarButton::onMouseExited(CPoint&, const CButtonState&) {
    hovered = false;
    invalid();
    return kMouseEventHandled;
}

// ---- CSaveLoadButton

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, long tag,
                                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CPresetBarButton(size, listener, tag, heightOfOneImage, background, offset) {}

void CSaveLoadButton::draw(CDrawContext* context) {
    drawState(context, getValue() != 0);
}

CMouseEventResult CSaveLoadButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kRButton)) || !listener) return kMouseEventNotHandled;
    const bool rightAlone = (buttons & (kLButton | kMButton | kRButton)) == kRButton;
    setValue(rightAlone ? 0.5f : 1.0f);
    valueChanged();
    setValue(0.0f);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---- CKvKickButton

CKvKickButton::CKvKickButton(const CRect& size, CControlListener* listener, long tag,
                             CCoord heightOfOneImage, CBitmap* background, const CPoint& offset,
                             bool doubleClickOnly)
    : CPresetBarButton(size, listener, tag, heightOfOneImage, background, offset),
      doubleClickOnly(doubleClickOnly) {}

void CKvKickButton::draw(CDrawContext* context) {
    drawState(context, pressed);
}

CMouseEventResult CKvKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (doubleClickOnly && !(buttons & kDoubleClick))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    pressed = true;
    setValue(doubleClickOnly && (buttons & kControl) ? 0.5f : 1.0f);
    valueChanged();
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CKvKickButton::onMouseUp(CPoint&, const CButtonState&) {
    release();
    return kMouseEventHandled;
}

void CKvKickButton::release() {
    setValue(0.0f);
    pressed = false;
    invalid();
}

// ---- CKvRockerSwitch

CKvRockerSwitch::CKvRockerSwitch(const CRect& size, CControlListener* listener, long tag,
                                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CRockerSwitch(size, listener, tag, heightOfOneImage, background, offset, kHorizontal) {}

void CKvRockerSwitch::draw(CDrawContext* context) {
    const float v = getValue();
    int image = 0;
    if (v < 0)
        image = 3;
    else if (v > 0)
        image = 4;
    else if (hover != 0)
        image = hover < 0 ? 1 : 2;
    drawImage(background, context, size, offset, image, heightOfOneImage);
    setDirty(false);
}

void CKvRockerSwitch::hoverAt(const CPoint& where) {
    const int half = sideOf(where) < 0 ? -1 : 1;
    if (half == hover) return;
    hover = half;
    invalid();
}

CMouseEventResult CKvRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(sideOf(where));
    invalid();
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CKvRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kMButton | kRButton))) hoverAt(where);
    return kMouseEventHandled;
}

CMouseEventResult CKvRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    setValue(0.0f);
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CKvRockerSwitch::onMouseEntered(CPoint& where, const CButtonState&) {
    hover = 0;
    hoverAt(where);
    return kMouseEventHandled;
}

CMouseEventResult CKvRockerSwitch::onMouseExited(CPoint&, const CButtonState&) {
    hover = 0;
    invalid();
    return kMouseEventHandled;
}
