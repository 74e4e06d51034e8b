#include "editor/text_printer.h"

#include "gui/CBitmap.h"

namespace {
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 8;
}  // namespace

CTextPrinter::CTextPrinter(CBitmap* font, CBitmap* second) : font(font), second(second) {}

CColor CTextPrinter::cellColour(bool inverse, bool) const {
    return inverse ? kInverseBack : kNormalBack;
}

CBitmap* CTextPrinter::glyphs(bool) const {
    return font.get();
}

void CTextPrinter::printText(CDrawContext* context, const CPoint& point, const char* text,
                             bool vertical, bool inverse, bool over) {
    if (!context || !text || !*text) return;
    const CColor oldFill = context->getFillColor();
    const CColor oldFrame = context->getFrameColor();
    const CColor back = cellColour(inverse, over);
    context->setFillColor(back);
    context->setFrameColor(back);
    CBitmap* source = glyphs(over);
    CPoint at = point;
    for (const char* c = text; *c; ++c) {
        const int code = static_cast<unsigned char>(*c);
        // Codes outside the font (control characters, beyond 127) show a blank.
        const int cell = code >= 32 && code < 128 ? code - 32 + (inverse ? 96 : 0) : 0;
        const CRect glyph(at.x, at.y - 7, at.x + kGlyphWidth, at.y + 1);
        context->fillRect(glyph);
        if (source) source->draw(context, glyph, CPoint(0, kGlyphHeight * cell));
        if (vertical)
            at.y += 8;
        else
            at.x += 6;
    }
    context->setFillColor(oldFill);
    context->setFrameColor(oldFrame);
}

CTextPrinter2Color::CTextPrinter2Color(CBitmap* normalFont, CBitmap* overFont)
    : CTextPrinter(normalFont, overFont) {}

CColor CTextPrinter2Color::cellColour(bool inverse, bool over) const {
    if (inverse && over) return kOverBack;
    return CTextPrinter::cellColour(inverse, over);
}

CBitmap* CTextPrinter2Color::glyphs(bool over) const {
    return over ? second.get() : font.get();
}
