#include "editor/mode_button.h"

#include <algorithm>
#include <cmath>

#include "editor/metering_settings.h"
#include "engine/parameters.h"
#include "gui/CBitmap.h"
#include "gui/VSTGUIEditorInterface.h"

using kt::paramContToLong;

CModeButton::CModeButton(const CRect& size, CControlListener* listener, long tag,
                         CBitmap* background)
    : CControl(size, listener, tag, background) {}

CModeButton::Zone CModeButton::zoneAt(CCoord y) const {
    const CCoord t = size.top;
    if (y < t + 19) return kTypeKey;
    if (y < t + 29) return kNoZone;
    if (y <= std::trunc(t + 46)) return kScaleUp;
    if (y < std::trunc(t + 50)) return kCentre;
    return kScaleDown;
}

void CModeButton::askMeterType(long type) {
    if (auto* settings = kt::ui::meteringSettingsOf(this)) settings->setMeterType(type);
}

void CModeButton::askScale(long index) {
    if (auto* settings = kt::ui::meteringSettingsOf(this)) settings->setScale(index);
}

void CModeButton::draw(CDrawContext* context) {
    if (background) {
        const CCoord h = getHeight();
        const CCoord row = saved ? 6 * h : (scaleIndex + 3 * meterType) * h;
        background->draw(context, size, CPoint(0, row));
        const CCoord top = size.top, bottom = size.bottom;
        auto strip = [&](CCoord from, CCoord to, CCoord source) {
            background->draw(context, CRect(size.left, from, size.right, to), CPoint(0, source));
        };
        switch (hoverZone) {
            case kTypeKey:
                strip(top, top + 19, 434);
                break;
            case kScaleUp:
                strip(top + 20, top + 40, 454);
                break;
            case kCentre:
                strip(top + 40, bottom - 12, 474);
                break;
            case kScaleDown:
                strip(top + 50, bottom, 484);
                break;
            case kNoZone:
                break;
        }
    }
    setDirty(false);
}

CMouseEventResult CModeButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) {
        if (!(buttons & kRButton)) return kMouseEventNotHandled;
        if (auto* settings = kt::ui::meteringSettingsOf(this)) settings->saveTamorDefaults();
        invalid();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    const CCoord t = size.top;
    if (where.y < t + 19) {
        askMeterType(0);
    } else if (where.y >= t + 29) {
        switch (zoneAt(where.y)) {
            case kScaleUp:
                scaleIndex = std::min(scaleIndex + 1, 2);
                askScale(scaleIndex);
                askMeterType(1);
                break;
            case kScaleDown:
                scaleIndex = std::max(scaleIndex - 1, 0);
                askScale(scaleIndex);
                askMeterType(1);
                break;
            default:
                beginEdit();
                drag.start(where.y);
                dragValue = scaleIndex * 0.5f;
                askMeterType(1);
                return kMouseEventHandled;
        }
    }
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CModeButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons & kLButton) {
        dragValue = drag.follow(dragValue, where.y);
        scaleIndex = static_cast<int>(std::trunc(2 * dragValue + 0.5f));
        askScale(scaleIndex);
        askMeterType(1);
        invalid();
        if (auto* editor = getEditor()) editor->doIdleStuff();
        return kMouseEventHandled;
    }
    const Zone zone = zoneAt(where.y);
    if (zone != kNoZone) hoverZone = zone;  // the dead band keeps the last zone
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CModeButton::onMouseUp(CPoint&, const CButtonState&) {
    if (drag.endClick()) {
        if (meterType == 1) {
            scaleIndex = (scaleIndex + 1) % 3;
            askScale(scaleIndex);
        }
        askMeterType(1);
        invalid();
    }
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CModeButton::onMouseExited(CPoint&, const CButtonState&) {
    hoverZone = kNoZone;
    setDirty();
    return kMouseEventHandled;
}

bool CModeButton::onWheel(const CPoint& where, const float& distance, const CButtonState&) {
    const int notch = distance > 0.1f ? 1 : (distance < -0.1f ? -1 : 0);
    if (notch == 0) return true;  // a fraction of a notch changes nothing
    if (where.y < size.top + 29) {
        meterType = (meterType + notch + 2) % 2;
        askMeterType(meterType);
    } else {
        scaleIndex = std::clamp(scaleIndex + notch, 0, 2);
        askScale(scaleIndex);
    }
    invalid();
    return true;
}

void CModeButton::setScale(float v) {
    scaleIndex = paramContToLong(v, 3);
    setDirty();
}

void CModeButton::setMeterType(float v) {
    meterType = paramContToLong(v, 2);
    setDirty();
}

void CModeButton::save(bool state) {
    saved = state;
    setDirty();
}
