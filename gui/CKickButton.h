// A push button: the value is the maximum while the left button holds it down
// over the view and goes back to the minimum on release. The bitmap holds the
// released image above the pressed one.
#pragma once

#include "gui/CControl.h"

class CKickButton : public CControl {
  public:
    CKickButton(const CRect& size, CControlListener* listener, long tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

    CCoord getHeightOfOneImage() const { return heightOfOneImage; }

  protected:
    CCoord heightOfOneImage;
    CPoint offset;
};
