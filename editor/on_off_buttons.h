// Two-state buttons drawn from a bitmap of stacked images: the plain toggle,
// the oversampling button, the storable buttons whose right click stores the
// display defaults (with and without a hover glow) and the automatic-black
// button that shows a dimmed image while Quantize is off.
#pragma once

#include "editor/hover_glow.h"
#include "gui/CControl.h"

// Toggles between 0 and 1 on a click or a wheel notch; the on image sits at
// half the bitmap's height.
class CKavOnOffButton : public CControl {
  public:
    CKavOnOffButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                    long style = 0);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  protected:
    long style;
};

// Images off and on, one view height apart; a glow over the view while hovered.
class COversamplingButton : public kt::ui::HoverGlow<CKavOnOffButton> {
  public:
    COversamplingButton(const CRect& size, CControlListener* listener, long tag,
                        CBitmap* background, CBitmap* glow);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
};

// A two-step parameter switch. A storable one stores the display defaults on
// a right click and shows its saved image while the editor says so.
class CTamorButton : public CKavOnOffButton {
  public:
    CTamorButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                 bool storable);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Shows (or stops showing) the saved image.
    void save(bool saved);
    bool isSaved() const { return saved; }
    bool isStorable() const { return storable; }

  protected:
    bool storable;
    bool saved = false;
};

// A CTamorButton with a glow drawn over it while hovered.
class CTamorBcklitButton : public kt::ui::HoverGlow<CTamorButton> {
  public:
    CTamorBcklitButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                       CBitmap* glow, bool storable);

    void draw(CDrawContext* context) override;
};

// The automatic-black switch: off, on, or on but dimmed while Quantize is off.
class CAutoBlack : public kt::ui::HoverGlow<CControl> {
  public:
    CAutoBlack(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
               CBitmap* glow);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    // Engine values of Autoblack and Quantize; the control's value follows Autoblack.
    void setAutoblack(float v);
    void setQuantize(float v);

  private:
    int quantizeStep = 0;
    int autoblackStep = 0;
};
