// The editor's 5 x 8 bitmap font: printable ASCII (32..127) drawn by hand as pixel patterns.
// Used for the font bitmaps the readouts print with, and for the smallest captions.
#pragma once

#include <string>

#include "resources/artgen/canvas.h"

namespace kt::art {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 8;  // rows 0..6 carry capitals, row 7 the descenders
constexpr int kGlyphAdvance = 6;

// True when pixel (x, y) of the glyph of character `c` is set; codes outside 32..127 are blank.
bool glyphPixel(char c, int x, int y);

// Draws `s` with its cell top-left at (x, top), one pixel per font pixel.
void drawPixelText(const Canvas& canvas, int x, int top, const std::string& s, Colour c);
int pixelTextWidth(const std::string& s);

// The font bitmaps: 192 cells stacked vertically, cells 0..95 the characters 32..127 in
// `normal`, cells 96..191 the same in `inverse`, on a transparent background.
void drawFontBitmap(const Canvas& canvas, Colour normal, Colour inverse);

}  // namespace kt::art
