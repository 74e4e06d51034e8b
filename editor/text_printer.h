// Text in a bitmap font of 5 x 8 pixel cells stacked vertically: cells 0..95
// are the characters 32..127, cells 96..191 the same in inverse. Each glyph
// is drawn on a filled cell; characters advance 6 pixels right (or 8 down).
// A code outside 32..127 prints cell 0, a blank.
#pragma once

#include "editor/bitmap_ref.h"
#include "gui/CDrawContext.h"

class CTextPrinter {
  public:
    explicit CTextPrinter(CBitmap* font, CBitmap* second = nullptr);
    virtual ~CTextPrinter() = default;
    CTextPrinter(const CTextPrinter&) = delete;
    CTextPrinter& operator=(const CTextPrinter&) = delete;

    // point: the baseline-left of the first glyph (its cell spans y - 7 .. y).
    void printText(CDrawContext* context, const CPoint& point, const char* text,
                   bool vertical = false, bool inverse = false, bool over = false);

    static constexpr CColor kNormalBack{213, 236, 246, 255};
    static constexpr CColor kInverseBack{79, 79, 79, 255};
    static constexpr CColor kOverBack{229, 53, 5, 255};

  protected:
    // The colour behind a glyph and the bitmap the glyph comes from.
    virtual CColor cellColour(bool inverse, bool over) const;
    virtual CBitmap* glyphs(bool over) const;

    kt::ui::BitmapRef font;
    kt::ui::BitmapRef second;
};

// Prints with a second font and a signal-red cell for inverse text that is "over".
class CTextPrinter2Color : public CTextPrinter {
  public:
    CTextPrinter2Color(CBitmap* normalFont, CBitmap* overFont);

  protected:
    CColor cellColour(bool inverse, bool over) const override;
    CBitmap* glyphs(bool over) const override;
};
