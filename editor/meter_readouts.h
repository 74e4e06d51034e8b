// Numeric readouts under the meters: the highest peak of each channel since the
// last reset (in dBFS, or relative to the K reference on a K scale; red above
// 0 dBFS), and the deepest gain reduction of each channel.
#pragma once

#include <string>

#include "editor/meter_control.h"
#include "editor/text_printer.h"

class CMeterLCD : public CMeterControl {
  public:
    // background: the editor background (drawn at the view's own place);
    // fonts: normal and over.
    CMeterLCD(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
              CBitmap* font, CBitmap* overFont);

    // User-interface thread: linear peaks.
    void refreshMeters(float peakL, float peakR);
    // 0 peak, 1 K-12, 2 K-14, 3 K-20.
    void setScale(long code);
    long getScale() const { return scale; }
    void reset();
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    float getMaxL() const { return maxL; }
    float getMaxR() const { return maxR; }
    // The number shown for a channel's maximum on the current scale.
    std::string valueText(float max) const;

  private:
    CTextPrinter2Color printer;
    float maxL = -120, maxR = -120;
    long scale = 0;
};

class CMeterLCDGR : public CMeterControl {
  public:
    CMeterLCDGR(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                CBitmap* font);

    // User-interface thread: linear gains.
    void refreshMeters(float gainL, float gainR);
    void reset();
    void draw(CDrawContext* context) override;

    float getMinL() const { return minL; }
    float getMinR() const { return minR; }
    static std::string valueText(float min);

  private:
    CTextPrinter printer;
    float minL = 0, minR = 0;
};
