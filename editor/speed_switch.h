// The three-way transient-shape switch (hard, medium, soft): a click on one of
// the three keys selects it, the wheel steps through them.
#pragma once

#include "gui/CControl.h"

class CSpeedSwitch : public CControl {
  public:
    CSpeedSwitch(const CRect& size, CControlListener* listener, long tag, CBitmap* background);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    // The key under a frame point: 0..2, or -1 between and beside the keys.
    static int keyAt(const CPoint& where);
};
