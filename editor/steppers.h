// The stepper family: a value display between an up and a down arrow. A click
// on an arrow steps once, a click on the centre steps round, a drag on the
// centre moves the value, the wheel steps. Bits (5 steps), noise shape (7) and
// the calibration signal (4, blinking while on).
#pragma once

#include <cstdint>

#include "editor/centre_drag.h"
#include "gui/CControl.h"

// The stepped wheel: a notch (|distance| above 0.1) moves the value by one of
// numSteps - 1 intervals and rounds it onto that grid; the listener hears of a
// change. Always used.
bool stepOnWheel(CControl& control, float distance, int numSteps);

class CStepper : public CControl {
  public:
    // Where the pointer is: 0 none, 1 centre, 2 upper arrow, 3 lower arrow.
    enum Zone { kNoZone = 0, kCentre, kUpperArrow, kLowerArrow };

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    Zone zoneAt(CCoord y) const;
    Zone getHoverZone() const { return hoverZone; }
    virtual int getStep() const { return step; }
    int getNumSteps() const { return numSteps; }

  protected:
    // Source rows of the hover strips and the first row of the lower one.
    struct HoverStrips {
        CCoord upper, centre, lower, lowerTop;
    };
    CStepper(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
             int numSteps, HoverStrips strips);
    // Source row of the image for the current state.
    virtual CCoord imageRow() const = 0;
    // Takes a new step from the user and tells the listener.
    void changeStep(int newStep);

    int numSteps;
    int step = 0;
    int quantizeStep = 0;

  private:
    HoverStrips strips;
    kt::ui::CentreDrag drag;
    Zone hoverZone = kNoZone;
};

// Word length 8, 12, 16, 20, 24 bits; dimmed while Quantize is off.
class CBits : public CStepper {
  public:
    CBits(const CRect& size, CControlListener* listener, long tag, CBitmap* background);
    // Engine values of Bits and Quantize; the control's value follows Bits.
    void setBits(float v);
    void setQuantize(float v);

  protected:
    CCoord imageRow() const override;
};

// Noise shaping off or one of six curves; the curves dimmed while Quantize is off.
class CNoiseShape : public CStepper {
  public:
    CNoiseShape(const CRect& size, CControlListener* listener, long tag, CBitmap* background);
    void setNoiseShape(float v);
    void setQuantize(float v);

  protected:
    CCoord imageRow() const override;
};

// The calibration signal: off, left, l+r uncorrelated, right. While on it
// blinks, lit 256 ms in every 512, timed by the editor's meter poll.
class CCalibButton : public CStepper {
  public:
    CCalibButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background);
    int getStep() const override;
    // The editor's clock at its meter poll (ms).
    void setTicks(std::uint32_t now);
    bool isLit() const;

  protected:
    CCoord imageRow() const override;

  private:
    std::uint32_t ticks = 0;
    std::uint32_t blinkOrigin = 0;
};
