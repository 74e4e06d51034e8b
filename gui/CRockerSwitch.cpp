#include "gui/CRockerSwitch.h"

#include "gui/CBitmap.h"

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, long tag,
                             CCoord heightOfOneImage, CBitmap* background, const CPoint& offset,
                             long style)
    : CControl(size, listener, tag, background),
      heightOfOneImage(heightOfOneImage),
      offset(offset),
      style(style) {
    setMin(-1.0f);
    setMax(1.0f);
    setDefaultValue(0.0f);
    setValue(0.0f);
}

void CRockerSwitch::draw(CDrawContext* context) {
    if (background) {
        const float v = getValue();
        const int image = v < 0 ? 0 : (v > 0 ? 2 : 1);
        background->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage));
    }
    setDirty(false);
}

float CRockerSwitch::sideOf(const CPoint& where) const {
    const CPoint centre = size.getCenter();
    if (style & kVertical) return where.y < centre.y ? -1.0f : 1.0f;
    return where.x < centre.x ? -1.0f : 1.0f;
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    setValue(sideOf(where));
    invalid();
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    setValue(0.0f);
    invalid();
    valueChanged();
    endEdit();
    return kMouseEventHandled;
}

bool CRockerSwitch::onWheel(const CPoint&, const float& distance, const CButtonState&) {
    if (distance == 0) return false;
    beginEdit();
    setValue(distance > 0 ? 1.0f : -1.0f);
    valueChanged();
    setValue(0.0f);
    valueChanged();
    endEdit();
    invalid();
    return true;
}
