#include "editor/steppers.h"

#include <algorithm>
#include <cmath>

#include "engine/parameters.h"
#include "gui/CBitmap.h"
#include "gui/VSTGUIEditorInterface.h"

using kt::paramContToLong;
using kt::paramLongToCont;

bool stepOnWheel(CControl& control, float distance, int numSteps) {
    const float old = control.getValue();
    const float unit = static_cast<float>(numSteps - 1);
    float v = old;
    if (distance > 0.1f) v += 1.0f / unit;
    if (distance < -0.1f) v -= 1.0f / unit;
    v = std::trunc(v * unit + 0.5f) / unit;
    control.setValue(std::clamp(v, control.getMin(), control.getMax()));
    if (control.getValue() != old) {
        control.valueChanged();
        control.invalid();
    }
    return true;
}

CStepper::CStepper(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                   int numSteps, HoverStrips strips)
    : CControl(size, listener, tag, background), numSteps(numSteps), strips(strips) {}

CStepper::Zone CStepper::zoneAt(CCoord y) const {
    if (y <= std::trunc(size.top + 16)) return kUpperArrow;
    if (y >= std::trunc(size.top + 21)) return kLowerArrow;
    return kCentre;
}

void CStepper::draw(CDrawContext* context) {
    if (background) {
        background->draw(context, size, CPoint(0, imageRow()));
        const CCoord top = size.top, bottom = size.bottom;
        switch (hoverZone) {
            case kUpperArrow:
                background->draw(context, CRect(size.left, top, size.right, top + 11),
                                 CPoint(0, strips.upper));
                break;
            case kCentre:
                background->draw(context, CRect(size.left, top + 11, size.right, bottom - 11),
                                 CPoint(0, strips.centre));
                break;
            case kLowerArrow:
                background->draw(context,
                                 CRect(size.left, top + strips.lowerTop, size.right, bottom),
                                 CPoint(0, strips.lower));
                break;
            case kNoZone:
                break;
        }
    }
    setDirty(false);
}

void CStepper::changeStep(int newStep) {
    step = newStep;
    setValue(paramLongToCont(newStep, numSteps));
    valueChanged();
    invalid();
}

CMouseEventResult CStepper::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    switch (zoneAt(where.y)) {
        case kUpperArrow:
            changeStep(std::min(getStep() + 1, numSteps - 1));
            return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        case kLowerArrow:
            changeStep(std::max(getStep() - 1, 0));
            return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        default:
            beginEdit();
            drag.start(where.y);
            return kMouseEventHandled;
    }
}

CMouseEventResult CStepper::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons & kLButton) {
        setValue(drag.follow(getValue(), where.y));
        valueChanged();
        invalid();
        if (auto* editor = getEditor()) editor->doIdleStuff();
        return kMouseEventHandled;
    }
    hoverZone = zoneAt(where.y);
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CStepper::onMouseUp(CPoint&, const CButtonState&) {
    if (drag.endClick()) changeStep((getStep() + 1) % numSteps);  // no drag: step round
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CStepper::onMouseExited(CPoint&, const CButtonState&) {
    hoverZone = kNoZone;
    setDirty();
    return kMouseEventHandled;
}

bool CStepper::onWheel(const CPoint&, const float& distance, const CButtonState&) {
    return stepOnWheel(*this, distance, numSteps);
}

// ---- CBits

CBits::CBits(const CRect& size, CControlListener* listener, long tag, CBitmap* background)
    : CStepper(size, listener, tag, background, 5, {310, 321, 331, 21}) {}

void CBits::setBits(float v) {
    step = paramContToLong(v, 5);
    setValue(v);  // drags and the wheel start from the step shown
    setDirty();
}

void CBits::setQuantize(float v) {
    quantizeStep = paramContToLong(v, 2);
    setDirty();
}

CCoord CBits::imageRow() const {
    return (5 * quantizeStep + step) * getHeight();
}

// ---- CNoiseShape

CNoiseShape::CNoiseShape(const CRect& size, CControlListener* listener, long tag,
                         CBitmap* background)
    : CStepper(size, listener, tag, background, 7, {403, 414, 424, 21}) {}

void CNoiseShape::setNoiseShape(float v) {
    step = paramContToLong(v, 7);
    setValue(v);
    setDirty();
}

void CNoiseShape::setQuantize(float v) {
    quantizeStep = paramContToLong(v, 2);
    setDirty();
}

CCoord CNoiseShape::imageRow() const {
    const CCoord h = getHeight();
    return step * h + (quantizeStep && step != 0 ? 6 * h : 0);
}

// ---- CCalibButton

CCalibButton::CCalibButton(const CRect& size, CControlListener* listener, long tag,
                           CBitmap* background)
    : CStepper(size, listener, tag, background, 4, {217, 228, 237, 20}) {}

int CCalibButton::getStep() const {
    return paramContToLong(getValue(), 4);
}

void CCalibButton::setTicks(std::uint32_t now) {
    ticks = now;
    if (getStep() != 0) setDirty();
}

bool CCalibButton::isLit() const {
    return ((ticks - blinkOrigin) & 511u) <= 255u;
}

CCoord CCalibButton::imageRow() const {
    // The images run off, left, right, l+r; the steps off, left, l+r, right.
    static constexpr CCoord kRows[4] = {0, 31, 93, 62};
    const int s = getStep();
    return kRows[s] + (s != 0 && isLit() ? 93 : 0);
}
