// The editor's knobs: a strip of sub-images chosen by the value. Dragging up
// or right raises the value (400 pixels times the drag scale for the whole
// range, five times finer with Shift, also when Shift changes mid-drag); a
// double click restores the default; the wheel moves by a step per notch.
#pragma once

#include "gui/CAnimKnob.h"

class CMyKnob : public CAnimKnob {
  public:
    CMyKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    long imageIndex() const override;

    void setDragScale(float v) { dragScale = v; }
    void setWheelStep(float v) { wheelStep = v; }
    void setWheelFineFactor(float v) { wheelFineFactor = v; }

    static constexpr CCoord kDragPixels = 400;

  private:
    // The drag range and value per pixel for the buttons held.
    void setDragRange(const CButtonState& buttons);

    CPoint firstPoint;
    CPoint lastPoint;
    float baseValue = 0;
    CCoord range = kDragPixels;
    float valuePerPixel = 0;
    CButtonState dragButtons = 0;
    float dragScale = 1.0f;
    float fineFactor = 5.0f;
    float wheelStep = 0.01f;
    float wheelFineFactor = 0.1f;
};
