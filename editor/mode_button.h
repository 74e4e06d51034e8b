// The meter mode button: a PEAK key over a K-system scale display with up and
// down arrows. Its changes go to the editor's setMeterType / setScale (two
// parameters), and a right click stores the display defaults.
#pragma once

#include "editor/centre_drag.h"
#include "gui/CControl.h"

class CModeButton : public CControl {
  public:
    // Where the pointer is: 0 none, 1 scale centre, 2 scale up, 3 scale down, 4 PEAK key.
    enum Zone { kNoZone = 0, kCentre, kScaleUp, kScaleDown, kTypeKey };

    CModeButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    // Engine values of Scale (3 steps) and MeterType (2 steps).
    void setScale(float v);
    void setMeterType(float v);
    void save(bool saved);

    int getMeterType() const { return meterType; }
    int getScaleIndex() const { return scaleIndex; }
    bool isSaved() const { return saved; }
    Zone getHoverZone() const { return hoverZone; }
    // The zone under y; the dead band between the key and the scale gives kNoZone.
    Zone zoneAt(CCoord y) const;

  private:
    void askMeterType(long type);
    void askScale(long index);

    bool saved = false;
    int meterType = 0;   // 0 peak, 1 k-system
    int scaleIndex = 1;  // 0 K-12, 1 K-14, 2 K-20
    kt::ui::CentreDrag drag;
    float dragValue = 0;
    Zone hoverZone = kNoZone;
};
