#include "gui/CAnimKnob.h"

#include <algorithm>
#include <cmath>

#include "gui/CBitmap.h"
#include "gui/VSTGUIEditorInterface.h"

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      subPixmaps(std::max(1L, subPixmaps)),
      heightOfOneImage(heightOfOneImage),
      offset(offset) {}

long CAnimKnob::imageIndex() const {
    const float range = vmax - vmin;
    const float normalised = range > 0 ? (getValue() - vmin) / range : 0.0f;
    const long index = std::lround(normalised * static_cast<float>(subPixmaps - 1));
    return std::clamp(index, 0L, subPixmaps - 1);
}

void CAnimKnob::draw(CDrawContext* context) {
    if (background) {
        const CPoint source(offset.x,
                            offset.y + static_cast<CCoord>(imageIndex()) * heightOfOneImage);
        background->draw(context, size, source);
    }
    setDirty(false);
}

CMouseEventResult CAnimKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    dragStart = lastPoint = where;
    dragStartValue = getValue();
    dragButtons = buttons;
    beginEdit();
    return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if ((buttons & kShift) != (dragButtons & kShift)) {  // restart so the value does not jump
        dragStart = lastPoint;
        dragStartValue = getValue();
        dragButtons = buttons;
    }
    lastPoint = where;
    const CCoord range = kDragRange * ((buttons & kShift) ? kFineFactor : 1);
    const CCoord delta = (where.x - dragStart.x) + (dragStart.y - where.y);
    const float old = getValue();
    setValue(dragStartValue + static_cast<float>(delta / range) * (vmax - vmin));
    bounceValue();
    if (getValue() != old) {
        valueChanged();
        invalid();
    }
    if (auto* editor = getEditor()) editor->doIdleStuff();
    return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}

bool CAnimKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
    const float old = getValue();
    const float step = wheelInc * ((buttons & kShift) ? 0.1f : 1.0f);
    setValue(old + distance * step * (vmax - vmin));
    bounceValue();
    if (getValue() != old) {
        invalid();
        beginEdit();
        valueChanged();
        endEdit();
    }
    return true;
}
