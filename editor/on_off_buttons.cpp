#include "editor/on_off_buttons.h"

#include <cmath>

#include "editor/metering_settings.h"
#include "engine/parameters.h"

using kt::paramContToLong;
using kt::paramLongToCont;

namespace {

// The value a click or a wheel notch gives a plain toggle.
float toggled(float value) {
    return std::round(value) != 0.0f ? 0.0f : 1.0f;
}

// The toggle's wheel: one notch (|distance| above 0.1) either way flips the
// value; the change is one edit for the host. Always used.
bool toggleOnWheel(CControl& control, float distance) {
    if (std::fabs(distance) <= 0.1f) return true;
    const float old = control.getValue();
    control.setValue(toggled(old));
    if (control.getValue() != old && control.getListener()) {
        control.invalid();
        control.beginEdit();
        control.valueChanged();
        control.endEdit();
    }
    return true;
}

}  // namespace

// ---- CKavOnOffButton

CKavOnOffButton::CKavOnOffButton(const CRect& size, CControlListener* listener, long tag,
                                 CBitmap* background, long style)
    : CControl(size, listener, tag, background), style(style) {}

void CKavOnOffButton::draw(CDrawContext* context) {
    if (background) {
        const CCoord y = getValue() >= 0.5f ? background->getHeight() / 2 : 0;
        background->draw(context, size, CPoint(0, y));
    }
    setDirty(false);
}

CMouseEventResult CKavOnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(toggled(getValue()));
    beginEdit();
    valueChanged();
    endEdit();
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CKavOnOffButton::onWheel(const CPoint&, const float& distance, const CButtonState&) {
    return toggleOnWheel(*this, distance);
}

// ---- COversamplingButton

COversamplingButton::COversamplingButton(const CRect& size, CControlListener* listener, long tag,
                                         CBitmap* background, CBitmap* glow)
    : HoverGlow(glow, size, listener, tag, background) {}

void COversamplingButton::draw(CDrawContext* context) {
    if (background) {
        const CCoord y = paramContToLong(getValue(), 2) == 1 ? getHeight() : 0;
        background->draw(context, size, CPoint(0, y));
    }
    drawGlow(context);
    setDirty(false);
}

CMouseEventResult COversamplingButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    // By step, so that a host's "on" (0.75) turns off with one click.
    setValue(paramContToLong(getValue(), 2) == 0 ? 1.0f : 0.0f);
    valueChanged();
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---- CTamorButton

CTamorButton::CTamorButton(const CRect& size, CControlListener* listener, long tag,
                           CBitmap* background, bool storable)
    : CKavOnOffButton(size, listener, tag, background), storable(storable) {}

void CTamorButton::draw(CDrawContext* context) {
    if (background) {
        const CCoord h = getHeight();
        const CCoord y = saved ? 2 * h : paramContToLong(getValue(), 2) * h;
        background->draw(context, size, CPoint(0, y));
    }
    setDirty(false);
}

CMouseEventResult CTamorButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (buttons & kLButton) {
        setValue(paramLongToCont(1 - paramContToLong(getValue(), 2), 2));
        valueChanged();
        invalid();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if ((buttons & kRButton) && storable) {
        if (auto* settings = kt::ui::meteringSettingsOf(this)) settings->saveTamorDefaults();
        invalid();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    return kMouseEventNotHandled;
}

void CTamorButton::save(bool state) {
    saved = state;
    setDirty();
}

// ---- CTamorBcklitButton

CTamorBcklitButton::CTamorBcklitButton(const CRect& size, CControlListener* listener, long tag,
                                       CBitmap* background, CBitmap* glow, bool storable)
    : HoverGlow(glow, size, listener, tag, background, storable) {}

void CTamorBcklitButton::draw(CDrawContext* context) {
    CTamorButton::draw(context);
    drawGlow(context);
    setDirty(false);
}

// ---- CAutoBlack

CAutoBlack::CAutoBlack(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                       CBitmap* glow)
    : HoverGlow(glow, size, listener, tag, background) {}

void CAutoBlack::draw(CDrawContext* context) {
    if (background) {
        const CCoord h = getHeight();
        const CCoord y = autoblackStep == 0 ? 0 : (quantizeStep ? h : 2 * h);
        background->draw(context, size, CPoint(0, y));
    }
    drawGlow(context);
    setDirty(false);
}

CMouseEventResult CAutoBlack::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    autoblackStep = 1 - autoblackStep;
    setValue(paramLongToCont(autoblackStep, 2));
    valueChanged();
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CAutoBlack::onWheel(const CPoint&, const float& distance, const CButtonState&) {
    return toggleOnWheel(*this, distance);
}

void CAutoBlack::setAutoblack(float v) {
    autoblackStep = paramContToLong(v, 2);
    setValue(v);  // the wheel toggles from the value shown
    setDirty();
}

void CAutoBlack::setQuantize(float v) {
    quantizeStep = paramContToLong(v, 2);
    setDirty();
}
