// The input and output level meters: a left and a right bar with a scale legend
// between them. On the peak scale the bars show the held peaks from -48 to
// +12 dBFS; on the K scales (K-12, K-14, K-20) they show RMS from -60 to 0 dB
// on the scale with the held peaks as markers. 6 pixels per dB over 360.
#pragma once

#include <array>
#include <cstdint>

#include "editor/bitmap_ref.h"
#include "editor/meter_control.h"

class CLevelMeter : public CMeterControl {
  public:
    // The bitmaps in order: editor background, unlit peak bar, lit peak bar,
    // K-20 legend, K-14 legend, K-12 / peak legend, unlit K bar, lit K bar.
    using Bitmaps = std::array<CBitmap*, 8>;
    // Frame x ranges of the two bars and the legend strip.
    struct Geometry {
        CCoord leftBar, leftBarEnd, rightBar, rightBarEnd, legend, legendEnd;
    };

    // User-interface thread (the editor's meter poll): linear readings; `now`
    // is the editor's clock, which the hold and fall in draw follow.
    void refreshMeters(std::uint32_t now, float peakL, float peakR, float rmsL, float rmsR);
    // 0 peak, 1 K-12, 2 K-14, 3 K-20.
    void setScale(long code);
    long getScale() const { return scale; }
    void reset();
    void draw(CDrawContext* context) override;

    float getPeakL() const { return peakL; }
    float getRmsL() const { return rmsL; }
    float getHeldL() const { return heldL; }
    float getHeldR() const { return heldR; }

    static constexpr CCoord kBarTop = 42;
    static constexpr CCoord kBarBottom = 402;
    static constexpr int kBarPixels = 360;

  protected:
    CLevelMeter(const CRect& size, CControlListener* listener, long tag, const Bitmaps& bitmaps,
                const Geometry& geometry);

  private:
    void drawBar(CDrawContext* context, CCoord left, CCoord right, float bar, float held);

    std::array<kt::ui::BitmapRef, 8> bitmaps;
    Geometry geometry;
    float peakL = -122, peakR = -122;
    float rmsL = -122, rmsR = -122;
    float heldL = -122, heldR = -122;
    std::int32_t holdL = 50, holdR = 50;
    long scale = 0;
};

class CMeterIn : public CLevelMeter {
  public:
    CMeterIn(const CRect& size, CControlListener* listener, long tag, const Bitmaps& bitmaps);
};

class CMeterOut : public CLevelMeter {
  public:
    CMeterOut(const CRect& size, CControlListener* listener, long tag, const Bitmaps& bitmaps);
};
