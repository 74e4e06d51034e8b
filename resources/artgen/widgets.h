// Drawing pieces shared by several bitmaps: button caps, indicator lamps, arrows and the
// text styles of the panel.
#pragma once

#include <string>

#include "resources/artgen/canvas.h"
#include "resources/artgen/layout.h"

namespace kt::art {

// Text styles.
constexpr Font kLegendFont{8.0, false, true};  // legends printed on the panel
constexpr Font kSmallLegendFont{7.5, false, true};
constexpr Font kHeaderFont{7.5, true, false};  // section headers (inverse bars)
constexpr Font kCaptionFont{8.0, true, true};  // captions on button caps
constexpr Font kTitleFont{15.0, true, false};  // the product name

enum class Lamp { off, on, dimmed, saved };

constexpr Rect toRect(Box b) {
    return {double(b.left), double(b.top), double(b.width()), double(b.height())};
}

// A button cap filling r (drawn over `surround`, so the image is opaque), with a caption that
// lights up with the lamp state.
void drawCap(const Canvas& c, Rect r, Colour surround, const std::string& caption, Lamp lamp);

// A small lamp: a rounded rectangle lit in signal red, dark when off.
void drawLamp(const Canvas& c, Rect r, Lamp lamp);

// A filled triangle pointing up (dir < 0) or down (dir > 0) centred on (cx, cy).
void drawArrow(const Canvas& c, double cx, double cy, double halfWidth, double height, int dir,
               Colour colour);

// A dark header bar with an inverse caption, centred.
void drawHeader(const Canvas& c, Rect r, const std::string& text);

}  // namespace kt::art
