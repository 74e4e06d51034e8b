// A three-way rocker: pressing its left (or upper) half gives the minimum,
// the other half the maximum, and the release the centre. The bitmap holds the
// images for minimum, centre and maximum, top to bottom.
#pragma once

#include "gui/CControl.h"

enum CRockerStyle { kHorizontal = 1 << 0, kVertical = 1 << 1 };

class CRockerSwitch : public CControl {
  public:
    CRockerSwitch(const CRect& size, CControlListener* listener, long tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset = CPoint(0, 0),
                  long style = kHorizontal);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  protected:
    // -1 for the first half (left or top), +1 for the second.
    float sideOf(const CPoint& where) const;

    CCoord heightOfOneImage;
    CPoint offset;
    long style;
};
