// A knob drawn from a strip of n sub-images stacked vertically in one bitmap,
// the image shown chosen by the value. Dragging up or right raises the value
// (Shift for fine steps); the wheel moves it by the wheel increment.
#pragma once

#include "gui/CControl.h"

class CAnimKnob : public CControl {
  public:
    CAnimKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    long getNumSubPixmaps() const { return subPixmaps; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    // The sub-image shown for the current value.
    virtual long imageIndex() const;

    // Pixels of drag for the full range; Shift multiplies them by the fine factor.
    static constexpr CCoord kDragRange = 200;
    static constexpr CCoord kFineFactor = 10;

  protected:
    long subPixmaps;
    CCoord heightOfOneImage;
    CPoint offset;

  private:
    CPoint dragStart;
    CPoint lastPoint;
    float dragStartValue = 0;
    CButtonState dragButtons = 0;
};
