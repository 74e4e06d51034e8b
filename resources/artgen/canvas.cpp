#include "resources/artgen/canvas.h"

#include <cmath>

namespace kt::art {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    // Hinted, greyscale text keeps the small legends crisp on the pixel grid.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr_, options);
    cairo_font_options_destroy(options);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::setColour(Colour c) const {
    cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a);
}

void Canvas::fill(Rect r, Colour c) const {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
    setColour(c);
    cairo_fill(cr_);
}

void Canvas::roundedRect(Rect r, double radius) const {
    cairo_new_path(cr_);
    if (radius <= 0) {
        cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
        return;
    }
    const double pi = 3.14159265358979;
    cairo_arc(cr_, r.x + r.w - radius, r.y + radius, radius, -pi / 2, 0);
    cairo_arc(cr_, r.x + r.w - radius, r.y + r.h - radius, radius, 0, pi / 2);
    cairo_arc(cr_, r.x + radius, r.y + r.h - radius, radius, pi / 2, pi);
    cairo_arc(cr_, r.x + radius, r.y + radius, radius, pi, 1.5 * pi);
    cairo_close_path(cr_);
}

void Canvas::fillRounded(Rect r, double radius, Colour c) const {
    roundedRect(r, radius);
    setColour(c);
    cairo_fill(cr_);
}

void Canvas::strokeRounded(Rect r, double radius, double lineWidth, Colour c) const {
    // Strokes are centred on the path; inset by half the width to stay inside r.
    const double h = lineWidth / 2;
    roundedRect({r.x + h, r.y + h, r.w - lineWidth, r.h - lineWidth}, radius);
    setColour(c);
    cairo_set_line_width(cr_, lineWidth);
    cairo_stroke(cr_);
}

void Canvas::line(double x0, double y0, double x1, double y1, double lineWidth, Colour c) const {
    cairo_new_path(cr_);
    cairo_move_to(cr_, x0, y0);
    cairo_line_to(cr_, x1, y1);
    setColour(c);
    cairo_set_line_width(cr_, lineWidth);
    cairo_stroke(cr_);
}

void Canvas::fillGradient(Rect r, double radius, Colour top, Colour bottom) const {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, r.y, 0, r.y + r.h);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    roundedRect(r, radius);
    cairo_set_source(cr_, p);
    cairo_fill(cr_);
    cairo_pattern_destroy(p);
}

void Canvas::selectFont(Font f) const {
    cairo_select_font_face(cr_, f.condensed ? "DejaVu Sans Condensed" : "DejaVu Sans",
                           CAIRO_FONT_SLANT_NORMAL,
                           f.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, f.size);
}

double Canvas::textWidth(const std::string& s, Font f) const {
    selectFont(f);
    cairo_text_extents_t e;
    cairo_text_extents(cr_, s.c_str(), &e);
    return e.x_advance;
}

void Canvas::text(double x, double y, const std::string& s, Font f, Colour c, Align align) const {
    const double w = textWidth(s, f);
    double left = x;
    if (align == Align::centre) left = x - w / 2;
    if (align == Align::right) left = x - w;
    cairo_new_path(cr_);
    cairo_move_to(cr_, std::round(left), y);
    setColour(c);
    cairo_show_text(cr_, s.c_str());
    // cairo keeps a current point after text; the next shape starts its own path.
    cairo_new_path(cr_);
}

void Canvas::paste(const Canvas& other, double x, double y) const {
    cairo_set_source_surface(cr_, other.surface_, x, y);
    cairo_paint(cr_);
}

bool Canvas::writePng(const std::string& path) const {
    cairo_surface_flush(surface_);
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace kt::art
