// The drawing steps of kt_artgen. Each draws one family of bitmaps and hands every finished
// bitmap to `emit` under its resource number.
#pragma once

#include <functional>

#include "resources/artgen/canvas.h"

namespace kt::art {

using Emit = std::function<void(int id, const Canvas& canvas)>;

void drawBackground(const Emit& emit);      // 128
void drawBackground(const Canvas& canvas);  // the same onto a 524 x 462 canvas
void drawFonts(const Emit& emit);           // 137, 138
void drawMeters(const Emit& emit);          // 129 to 136, 154, 155, 156, 167
void drawButtons(const Emit& emit);         // on/off buttons, glow, speed switch, about view
void drawSteppers(const Emit& emit);        // 141, 142, 143, 145
void drawKnobs(const Emit& emit);           // 147, 148, 150 to 153
void drawPresetBar(const Emit& emit);       // 989 to 995

}  // namespace kt::art
