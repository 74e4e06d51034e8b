#include "gui/CKickButton.h"

#include "gui/CBitmap.h"

CKickButton::CKickButton(const CRect& size, CControlListener* listener, long tag,
                         CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      heightOfOneImage(heightOfOneImage),
      offset(offset) {
    setValue(vmin);
}

void CKickButton::draw(CDrawContext* context) {
    if (background) {
        const CCoord y = getValue() >= vmax ? heightOfOneImage : 0;
        background->draw(context, size, CPoint(offset.x, offset.y + y));
    }
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    setValue(vmax);
    valueChanged();
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    const float v = size.pointInside(where) ? vmax : vmin;
    if (v != getValue()) {
        setValue(v);
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&) {
    if (getValue() != vmin) {
        setValue(vmin);
        valueChanged();
        invalid();
    }
    endEdit();
    return kMouseEventHandled;
}
