#include "editor/knob.h"

#include <algorithm>
#include <cmath>

#include "gui/VSTGUIEditorInterface.h"

CMyKnob::CMyKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CAnimKnob(size, listener, tag, subPixmaps, heightOfOneImage, background, offset) {}

long CMyKnob::imageIndex() const {
    const float index = std::floor(getValue() * static_cast<float>(subPixmaps - 1));
    if (!(index > 0)) return 0;  // also NaN
    return std::min(static_cast<long>(index), subPixmaps - 1);
}

void CMyKnob::setDragRange(const CButtonState& buttons) {
    range = kDragPixels * dragScale * ((buttons & kShift) ? fineFactor : 1.0f);
    valuePerPixel = static_cast<float>((vmax - vmin) / range);
}

CMouseEventResult CMyKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (buttons & kDoubleClick) {
        // One edit of its own: the first click's drag has already ended.
        const float old = getValue();
        beginEdit();
        setValue(getDefaultValue());
        if (getValue() != old) {
            invalid();
            valueChanged();
        }
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    firstPoint = lastPoint = where;
    baseValue = getValue();
    setDragRange(buttons);
    dragButtons = buttons;
    beginEdit();
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CMyKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (where == lastPoint) return kMouseEventHandled;
    lastPoint = where;
    const float delta = static_cast<float>((where.x - firstPoint.x) + (firstPoint.y - where.y));
    if (buttons != dragButtons) {
        // Shift pressed or released: a new rate from here on, without a jump.
        const float oldPerPixel = valuePerPixel;
        setDragRange(buttons);
        baseValue += delta * (oldPerPixel - valuePerPixel);
        dragButtons = buttons;
    }
    setValue(std::clamp(baseValue + delta * valuePerPixel, vmin, vmax));
    invalid();
    valueChanged();
    if (auto* editor = getEditor()) editor->doIdleStuff();
    return kMouseEventHandled;
}

bool CMyKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
    float d = distance;
    if (d > 0.1f) d = 1.0f;
    if (d < -0.1f) d = -1.0f;
    const float old = getValue();
    const float step = wheelStep * ((buttons & kShift) ? wheelFineFactor : 1.0f);
    setValue(std::clamp(old + d * step, vmin, vmax));
    if (getValue() != old && listener) {
        invalid();
        beginEdit();
        valueChanged();
        endEdit();
    }
    return true;
}
