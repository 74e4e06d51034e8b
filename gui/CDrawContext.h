// Where views draw: a cairo context on the frame's back buffer, behind an
// interface that never shows cairo itself. One context serves one drawing pass
// on the user-interface thread. Coordinates are frame pixels shifted by the
// current offset (set by containers for their children).
#pragma once

#include "gui/CFont.h"
#include "gui/geometry.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

class CDrawContext {
  public:
    explicit CDrawContext(cairo_surface_t* surface);
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    void setFillColor(const CColor& c) { fillColor = c; }
    void setFrameColor(const CColor& c) { frameColor = c; }
    void setFontColor(const CColor& c) { fontColor = c; }
    CColor getFillColor() const { return fillColor; }
    CColor getFrameColor() const { return frameColor; }
    CColor getFontColor() const { return fontColor; }
    void setLineWidth(CCoord width) { lineWidth = width; }
    CCoord getLineWidth() const { return lineWidth; }
    void setFont(CFontRef font) { this->font = font ? font : kNormalFont; }
    CFontRef getFont() const { return font; }
    void setGlobalAlpha(float alpha) { globalAlpha = alpha; }
    float getGlobalAlpha() const { return globalAlpha; }

    // Clipping, in frame pixels. Drawing never leaves the clip rectangle.
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;
    void resetClipRect();

    // Shift applied to all coordinates given afterwards.
    void setOffset(const CPoint& offset) { this->offset = offset; }
    CPoint getOffset() const { return offset; }

    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    void drawLine(const CPoint& from, const CPoint& to);
    void moveTo(const CPoint& p) { pen = p; }
    void lineTo(const CPoint& p) {
        drawLine(pen, p);
        pen = p;
    }

    // Text in the font colour: centred vertically in rect with the alignment
    // given, or with its baseline starting at a point.
    void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText);
    void drawString(const char* text, const CPoint& baselineStart);
    CCoord getStringWidth(const char* text);

    // Copies the rectangle `source` of an image (in the image's pixels) to dest.
    void drawImage(cairo_surface_t* image, const CRect& dest, const CPoint& sourceOffset,
                   float alpha);

    // Text measured without a drawing pass (menus size themselves this way).
    static CCoord measureString(const char* text, CFontRef font);

  private:
    void applyClip();
    void selectFont();
    void setSourceColor(const CColor& c);

    cairo_t* cr;
    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kBlackCColor;
    CCoord lineWidth = 1;
    CFontRef font;
    float globalAlpha = 1.0f;
    CRect clipRect;
    CRect surfaceRect;
    CPoint offset;
    CPoint pen;
};
