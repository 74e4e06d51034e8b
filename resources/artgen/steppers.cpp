// The stepper family (Bits 142, NoiseShape 143, Calibrate 145) and the meter mode button
// (141): stacked state images followed by translucent hover strips that the views draw over
// the upper arrow, the centre and the lower arrow.
#include <string>
#include <vector>

#include "resources/artgen/artwork.h"
#include "resources/artgen/widgets.h"

namespace kt::art {
namespace {

constexpr int kStepW = 33;
constexpr int kStepH = 31;
constexpr Colour kDisplay = rgb(40, 42, 46);
constexpr Colour kHover = rgb(255, 255, 255, 0.24);

enum class Face { dimmed, active, lit, off };

// One stepper image: a dark display with an up arrow (rows 0..10), the value (rows 11..20)
// and a down arrow (rows 21..30).
void drawStepper(const Canvas& c, double top, const std::string& value, Face face) {
    const double w = kStepW;
    c.fill({0, top, w, kStepH}, kPanel);
    c.fillRounded({0, top, w, kStepH}, 3, rgb(30, 32, 36));
    const Colour body = face == Face::lit ? kSignalRed : kDisplay;
    c.fillRounded({1, top + 1, w - 2, kStepH - 2}, 2.5, body);
    // Arrow bands are a shade lighter than the value window.
    if (face != Face::lit) {
        c.fillRounded({1, top + 1, w - 2, 10}, 2.5, kCap);
        c.fillRounded({1, top + 21, w - 2, 9}, 2.5, kCap);
        c.fill({1, top + 6, w - 2, 5}, kCap);
        c.fill({1, top + 21, w - 2, 4}, kCap);
    }
    const Colour arrow = face == Face::lit ? kWhite : rgb(190, 198, 204);
    drawArrow(c, w / 2, top + 6, 4.5, 4, -1, arrow);
    drawArrow(c, w / 2, top + 25.5, 4.5, 4, 1, arrow);
    Colour text = rgb(255, 150, 90);
    if (face == Face::dimmed || face == Face::off) text = rgb(130, 136, 142);
    if (face == Face::lit) text = kWhite;
    c.text(w / 2, top + 19.5, value, {9, true, true}, text, Align::centre);
}

// Hover strips: upper arrow (11 rows), centre (`centreRows`), lower arrow (`lowerRows`), drawn
// at `at` in order with the gaps the views expect.
void drawStepperHovers(const Canvas& c, int upperAt, int centreAt, int centreRows, int lowerAt,
                       int lowerRows) {
    c.fillRounded({1, double(upperAt) + 1, kStepW - 2.0, 10}, 2.5, kHover);
    c.fill({1, double(centreAt), kStepW - 2.0, double(centreRows)}, rgb(255, 255, 255, 0.12));
    c.fillRounded({1, double(lowerAt), kStepW - 2.0, double(lowerRows) - 1}, 2.5, kHover);
}

void drawBits(const Emit& emit) {
    // Images 0..4 with Quantize off (dimmed), 5..9 with it on; hovers from rows 310, 321, 331.
    const char* bits[] = {"8", "12", "16", "20", "24"};
    Canvas c(kStepW, 341);
    for (int q = 0; q < 2; ++q)
        for (int s = 0; s < 5; ++s)
            drawStepper(c, (5 * q + s) * kStepH, bits[s], q ? Face::active : Face::dimmed);
    drawStepperHovers(c, 310, 321, 9, 331, 10);
    emit(142, c);
}

void drawNoiseShape(const Emit& emit) {
    // Image 0 off, 1..6 the shapes dimmed (Quantize off), 7..12 active; hovers from 403,
    // 414, 424.
    const char* shapes[] = {"A", "B", "C", "D", "E", "F"};
    Canvas c(kStepW, 434);
    drawStepper(c, 0, "off", Face::off);
    for (int s = 0; s < 6; ++s) {
        drawStepper(c, (1 + s) * kStepH, shapes[s], Face::dimmed);
        drawStepper(c, (7 + s) * kStepH, shapes[s], Face::active);
    }
    drawStepperHovers(c, 403, 414, 9, 424, 10);
    emit(143, c);
}

void drawCalibrate(const Emit& emit) {
    // Images: off, left, right, l+r (unlit half of the blink), then left, right, l+r lit.
    // Hovers from 217 (11 rows), 228 (9 rows), 237 (11 rows).
    const char* modes[] = {"L", "R", "L+R"};
    Canvas c(kStepW, 248);
    drawStepper(c, 0, "CAL", Face::off);
    for (int m = 0; m < 3; ++m) {
        drawStepper(c, (1 + m) * kStepH, modes[m], Face::active);
        drawStepper(c, (4 + m) * kStepH, modes[m], Face::lit);
    }
    drawStepperHovers(c, 217, 228, 9, 237, 11);
    emit(145, c);
}

// The meter mode button, 35 x 62: a PEAK key (rows 0..18), a legend band (19..28) and the K
// scale display (29..61): an up arrow, the current K scale, a down arrow, matching the
// button's scale-up, centre and scale-down areas.
void drawModeImage(const Canvas& c, double top, bool kSystem, int index, bool saved) {
    const double w = kModeButton.width(), h = kModeButton.height();
    c.fill({0, top, w, h}, kPanel);
    drawCap(c, {0, top, w, 19}, kPanel, "PEAK",
            saved ? Lamp::saved : (kSystem ? Lamp::off : Lamp::on));
    c.text(w / 2, top + 27, "K-SYS", {7, true, true}, kDarkText, Align::centre);
    c.fillRounded({0, top + 29, w, 33}, 3, rgb(30, 32, 36));
    c.fillRounded({1, top + 30, w - 2, 31}, 2.5, kCap);
    const char* names[] = {"K-12", "K-14", "K-20"};
    Colour arrow = rgb(190, 198, 204);
    Colour text = rgb(120, 126, 132);
    if (kSystem) {
        c.fill({1, top + 40, w - 2, 10}, kSignalRed);
        text = kWhite;
    } else {
        c.fill({1, top + 40, w - 2, 10}, kDisplay);
    }
    if (saved) {
        c.fill({1, top + 40, w - 2, 10}, rgb(90, 170, 220));
        text = kWhite;
        arrow = rgb(190, 240, 255);
    }
    drawArrow(c, w / 2, top + 35, 4.5, 4, -1, arrow);
    drawArrow(c, w / 2, top + 55.5, 4.5, 4, 1, arrow);
    c.text(w / 2, top + 48, saved ? "saved" : names[index], {7.5, true, true}, text, Align::centre);
}

void drawModeButton(const Emit& emit) {
    // Images: index * h for peak, + 3h for k-system, 6h saved; hovers at 434 (19 rows), 454
    // (20 rows, of which the first 9 cover the legend band), 474 (10 rows), 484 (12 rows).
    const int h = kModeButton.height();
    const double w = kModeButton.width();
    Canvas c(int(w), 496);
    for (int type = 0; type < 2; ++type)
        for (int index = 0; index < 3; ++index)
            drawModeImage(c, (3 * type + index) * h, type == 1, index, false);
    drawModeImage(c, 6 * h, true, 0, true);
    c.fillRounded({1, 434 + 1, w - 2, 16}, 2.5, kHover);
    c.fillRounded({1, 454 + 10, w - 2, 10}, 1.5, kHover);
    c.fill({1, 474, w - 2, 10}, kHover);
    c.fillRounded({1, 484, w - 2, 11}, 1.5, kHover);
    emit(141, c);
}

}  // namespace

void drawSteppers(const Emit& emit) {
    drawBits(emit);
    drawNoiseShape(emit);
    drawCalibrate(emit);
    drawModeButton(emit);
}

}  // namespace kt::art
