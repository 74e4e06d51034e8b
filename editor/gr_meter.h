// The gain-reduction meter: a left and a right bar hanging from the top,
// 6 pixels per dB over 24 dB, or 12 per dB over 12 dB when zoomed, with a
// 50 ms hold and a release of 30 dB per second.
#pragma once

#include <cstdint>

#include "editor/bitmap_ref.h"
#include "editor/meter_control.h"

class CMeterGR : public CMeterControl {
  public:
    // background: both legends, 24 dB above 12 dB; bar: the lit bar image.
    CMeterGR(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
             CBitmap* bar);

    // User-interface thread: linear gains (1 = no reduction) at the editor's clock.
    void refreshMeters(std::uint32_t now, float gainL, float gainR);
    void setZoom(float v);
    bool isZoomed() const { return zoom != 0; }
    void reset();
    void draw(CDrawContext* context) override;

    float getHeldL() const { return heldL; }
    float getHeldR() const { return heldR; }
    // The bottom edge of a bar showing `held` dB (the top when empty).
    CCoord barBottom(float held) const;

    static constexpr CCoord kBarTop = 42;
    static constexpr int kBarPixels = 145;

  private:
    kt::ui::BitmapRef bar;
    float grL = 0, grR = 0;
    float heldL = 0, heldR = 0;
    std::int32_t holdL = 10, holdR = 10;
    int zoom = 0;
};
