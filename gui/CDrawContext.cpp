#include "gui/CDrawContext.h"

#include <cairo.h>

#include <cmath>

namespace {

CFontDesc normalFont("DejaVu Sans", 12);
CFontDesc normalFontSmall("DejaVu Sans", 11);
CFontDesc normalFontSmaller("DejaVu Sans", 11);
CFontDesc normalFontVerySmall("DejaVu Sans", 9);

void selectFontOn(cairo_t* cr, CFontRef font) {
    cairo_select_font_face(
        cr, font->getName(),
        (font->getStyle() & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        (font->getStyle() & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font->getSize());
}

}  // namespace

const CFontRef kNormalFont = &normalFont;
const CFontRef kNormalFontSmall = &normalFontSmall;
const CFontRef kNormalFontSmaller = &normalFontSmaller;
const CFontRef kNormalFontVerySmall = &normalFontVerySmall;

CDrawContext::CDrawContext(cairo_surface_t* surface)
    : cr(cairo_create(surface)), font(kNormalFont) {
    const double w = cairo_image_surface_get_width(surface);
    const double h = cairo_image_surface_get_height(surface);
    surfaceRect = CRect(0, 0, w, h);
    clipRect = surfaceRect;
}

CDrawContext::~CDrawContext() {
    cairo_destroy(cr);
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.bound(surfaceRect);
    applyClip();
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    return clip = clipRect;
}

void CDrawContext::resetClipRect() {
    setClipRect(surfaceRect);
}

void CDrawContext::applyClip() {
    cairo_reset_clip(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, clipRect.left, clipRect.top, clipRect.width(), clipRect.height());
    cairo_clip(cr);
}

void CDrawContext::setSourceColor(const CColor& c) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0,
                          c.alpha / 255.0 * globalAlpha);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    CRect r = rect;
    r.normalize().offset(offset.x, offset.y);
    cairo_new_path(cr);
    if (style != kDrawStroked) {
        cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
        setSourceColor(fillColor);
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        // Strokes sit inside the rectangle, centred on half pixels for crisp lines.
        const double inset = lineWidth / 2;
        cairo_rectangle(cr, r.left + inset, r.top + inset, r.width() - lineWidth,
                        r.height() - lineWidth);
        cairo_set_line_width(cr, lineWidth);
        setSourceColor(frameColor);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style) {
    CRect r = rect;
    r.normalize().offset(offset.x, offset.y);
    if (r.isEmpty()) return;
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    cairo_scale(cr, r.width() / 2, r.height() / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    if (style != kDrawStroked) {
        setSourceColor(fillColor);
        cairo_fill_preserve(cr);
    }
    if (style != kDrawFilled) {
        cairo_set_line_width(cr, lineWidth);
        setSourceColor(frameColor);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    cairo_new_path(cr);
    cairo_move_to(cr, from.x + offset.x + 0.5, from.y + offset.y + 0.5);
    cairo_line_to(cr, to.x + offset.x + 0.5, to.y + offset.y + 0.5);
    cairo_set_line_width(cr, lineWidth);
    setSourceColor(frameColor);
    cairo_stroke(cr);
}

void CDrawContext::selectFont() {
    selectFontOn(cr, font);
}

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align) {
    if (!text || !*text) return;
    selectFont();
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(cr, &fontExtents);
    CRect r = rect;
    r.offset(offset.x, offset.y);
    double x = r.left;
    if (align == kCenterText) x = r.left + (r.width() - extents.x_advance) / 2;
    if (align == kRightText) x = r.right - extents.x_advance;
    const double y = r.top + (r.height() + fontExtents.ascent - fontExtents.descent) / 2;
    cairo_new_path(cr);
    cairo_move_to(cr, std::round(x), std::round(y));
    setSourceColor(fontColor);
    cairo_show_text(cr, text);
    cairo_new_path(cr);  // text leaves a current point behind
}

void CDrawContext::drawString(const char* text, const CPoint& baselineStart) {
    if (!text || !*text) return;
    selectFont();
    cairo_new_path(cr);
    cairo_move_to(cr, baselineStart.x + offset.x, baselineStart.y + offset.y);
    setSourceColor(fontColor);
    cairo_show_text(cr, text);
    cairo_new_path(cr);
}

CCoord CDrawContext::getStringWidth(const char* text) {
    if (!text || !*text) return 0;
    selectFont();
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return extents.x_advance;
}

CCoord CDrawContext::measureString(const char* text, CFontRef font) {
    if (!text || !*text) return 0;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* c = cairo_create(scratch);
    selectFontOn(c, font ? font : kNormalFont);
    cairo_text_extents_t extents;
    cairo_text_extents(c, text, &extents);
    cairo_destroy(c);
    cairo_surface_destroy(scratch);
    return extents.x_advance;
}

void CDrawContext::drawImage(cairo_surface_t* image, const CRect& dest, const CPoint& sourceOffset,
                             float alpha) {
    if (!image) return;
    CRect d = dest;
    d.offset(offset.x, offset.y);
    if (d.isEmpty()) return;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, d.left, d.top, d.width(), d.height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, image, d.left - sourceOffset.x, d.top - sourceOffset.y);
    // Pixels beyond the image stay untouched rather than repeating its edge.
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_NONE);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint_with_alpha(cr, alpha * globalAlpha);
    cairo_restore(cr);
}
