#include "editor/speed_switch.h"

#include "editor/steppers.h"
#include "engine/parameters.h"
#include "gui/CBitmap.h"

using kt::paramContToLong;
using kt::paramLongToCont;

namespace {
constexpr int kSteps = 3;
constexpr CCoord kImageHeight = 25;
}  // namespace

CSpeedSwitch::CSpeedSwitch(const CRect& size, CControlListener* listener, long tag,
                           CBitmap* background)
    : CControl(size, listener, tag, background) {}

int CSpeedSwitch::keyAt(const CPoint& where) {
    if (where.y < 123 || where.y > 140) return -1;
    static constexpr CCoord kKeyLeft[kSteps] = {39, 72, 105};
    for (int key = 0; key < kSteps; ++key)
        if (where.x >= kKeyLeft[key] && where.x <= kKeyLeft[key] + 17) return key;
    return -1;
}

void CSpeedSwitch::draw(CDrawContext* context) {
    if (background)
        background->draw(context, size,
                         CPoint(0, paramContToLong(getValue(), kSteps) * kImageHeight));
    setDirty(false);
}

CMouseEventResult CSpeedSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    CPoint p = where;
    localToFrame(p);
    const int key = keyAt(p);
    if (key >= 0) {
        setValue(paramLongToCont(key, kSteps));
        valueChanged();
        invalid();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool CSpeedSwitch::onWheel(const CPoint&, const float& distance, const CButtonState&) {
    return stepOnWheel(*this, distance, kSteps);
}
