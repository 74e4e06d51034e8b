// A drawing surface for one bitmap of the artwork: a transparent ARGB image with cairo helpers
// for the shapes and text the artwork uses, written out as PNG.
#pragma once

#include <cairo.h>

#include <string>

#include "resources/artgen/palette.h"

namespace kt::art {

struct Rect {
    double x, y, w, h;
};

enum class Align { left, centre, right };

struct Font {
    double size = 9.0;
    bool bold = false;
    bool condensed = false;
};

class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    void setColour(Colour c) const;
    void fill(Rect r, Colour c) const;
    void roundedRect(Rect r, double radius) const;  // path only
    void fillRounded(Rect r, double radius, Colour c) const;
    void strokeRounded(Rect r, double radius, double lineWidth, Colour c) const;
    void line(double x0, double y0, double x1, double y1, double lineWidth, Colour c) const;
    // A vertical gradient from `top` to `bottom` over the rounded rectangle.
    void fillGradient(Rect r, double radius, Colour top, Colour bottom) const;

    // Text whose baseline is at y, placed by `align` around x.
    void text(double x, double y, const std::string& s, Font f, Colour c,
              Align align = Align::left) const;
    double textWidth(const std::string& s, Font f) const;

    // Copies another canvas at (x, y), blending over what is there.
    void paste(const Canvas& other, double x, double y) const;

    bool writePng(const std::string& path) const;

  private:
    void selectFont(Font f) const;

    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

}  // namespace kt::art
