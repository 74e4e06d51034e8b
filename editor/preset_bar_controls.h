// The push buttons and the rocker of the preset bar. Each draws from a strip of
// stacked images (the offset is the strip's top-left) and shows when the mouse
// is over it. None of them brackets its change with beginEdit / endEdit: they
// act on the bank, not on a parameter. User-interface thread only.
#pragma once

#include "gui/CKickButton.h"
#include "gui/CRockerSwitch.h"

// What the two push buttons share: they act on the press alone (no tracking;
// the release does nothing unless a class says so), and they draw the images
// idle, hovered and pressed.
class CPresetBarButton : public CKickButton {
  public:
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    bool isHovered() const { return hovered; }

  protected:
    CPresetBarButton(const CRect& size, CControlListener* listener, long tag,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset);
    // The pressed image while pressed, else the hovered or the idle one.
    void drawState(CDrawContext* context, bool pressed);

  private:
    bool hovered = false;
};

// Load and save buttons. A left click sends 1.0, a click with the right button
// alone 0.5 (the load buttons take that as "byte-reversed file"), and the value
// falls back to 0 at once. Images: idle, hovered, pressed.
class CSaveLoadButton : public CPresetBarButton {
  public:
    CSaveLoadButton(const CRect& size, CControlListener* listener, long tag,
                    CCoord heightOfOneImage, CBitmap* background,
                    const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
};

// Store, recall, default and manual buttons: the left button presses (1.0)
// and the release sends nothing. With doubleClickOnly only a double click
// presses, and Control held with it sends 0.5 instead (remove the stored
// default). Images: idle, hovered, pressed.
class CKvKickButton : public CPresetBarButton {
  public:
    CKvKickButton(const CRect& size, CControlListener* listener, long tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset, bool doubleClickOnly);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

    // Lets the button go without a mouse up (one that opened another program
    // may never see it).
    void release();
    bool isPressed() const { return pressed; }

  private:
    bool doubleClickOnly;
    bool pressed = false;
};

// Previous / next: a left click on the left half sends -1, on the right half
// +1; the release goes back to 0 without telling the listener. Images: idle,
// hovering left, hovering right, pressed left, pressed right.
class CKvRockerSwitch : public CRockerSwitch {
  public:
    CKvRockerSwitch(const CRect& size, CControlListener* listener, long tag,
                    CCoord heightOfOneImage, CBitmap* background,
                    const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    // 0 outside, -1 over the left half, +1 over the right half.
    int hoveredHalf() const { return hover; }

  private:
    void hoverAt(const CPoint& where);
    int hover = 0;
};
