// The six knobs: 101 frames each, stacked vertically, the pointer sweeping 300 degrees from
// 7 o'clock (frame 0) to 5 o'clock (frame 100). Each frame carries its own scale ticks and a
// value arc so that the strip is opaque over the panel.
#include <algorithm>
#include <cmath>

#include "resources/artgen/artwork.h"
#include "resources/artgen/widgets.h"

namespace kt::art {
namespace {

constexpr int kFrames = 101;
constexpr double kPi = 3.14159265358979;
constexpr double kSweep = 300.0;

// Angle in cairo's convention (0 = 3 o'clock, clockwise) of a knob position 0..1.
double angleOf(double position) {
    const double fromTop = -kSweep / 2 + kSweep * position;  // degrees clockwise from 12
    return (fromTop - 90.0) * kPi / 180.0;
}

struct KnobStyle {
    int id;
    Box view;
    double arcFrom;  // where the value arc starts: 0 the minimum, 0.5 the centre (input drive,
                     // 0 dB there), 1 the maximum (leveller, off there)
};

void drawFrame(const Canvas& c, double top, const KnobStyle& s, double position) {
    cairo_t* cr = c.cr();
    const double w = s.view.width(), h = s.view.height();
    // Nothing of one frame may spill into its neighbours.
    cairo_save(cr);
    cairo_rectangle(cr, 0, top, w, h);
    cairo_clip(cr);
    c.fill({0, top, w, h}, kPanel);
    const double cx = w / 2, cy = top + h / 2;
    const double outer = std::min(w, h) / 2 - 0.5;
    const double arcR = outer - 3.5;
    const double bodyR = outer - 7.5;

    // Ticks: eleven around the sweep.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i <= 10; ++i) {
        const double a = angleOf(i / 10.0);
        const double r0 = outer - 1.5, r1 = outer;
        cairo_new_path(cr);
        cairo_move_to(cr, cx + r0 * std::cos(a), cy + r0 * std::sin(a));
        cairo_line_to(cr, cx + r1 * std::cos(a), cy + r1 * std::sin(a));
        c.setColour(kDarkGrey);
        cairo_set_line_width(cr, i == 0 || i == 10 || (s.arcFrom == 0.5 && i == 5) ? 1.6 : 1.0);
        cairo_stroke(cr);
    }
    // Track and value arc.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, 2.5);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, arcR, angleOf(0), angleOf(1));
    c.setColour(kPanelLine);
    cairo_stroke(cr);
    const double from = s.arcFrom;
    const double lo = std::min(from, position), hi = std::max(from, position);
    if (hi - lo > 0.002) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, arcR, angleOf(lo), angleOf(hi));
        c.setColour(kSignalRed);
        cairo_stroke(cr);
    }
    // Body: shadow, rim, face with light from above.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy + 1.2, bodyR + 0.5, 0, 2 * kPi);
    c.setColour(rgb(20, 22, 26, 0.45));
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, bodyR, 0, 2 * kPi);
    c.setColour(rgb(36, 38, 42));
    cairo_fill(cr);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, cy - bodyR, 0, cy + bodyR);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.46, 0.47, 0.50);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.22, 0.23, 0.25);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, bodyR - 1.2, 0, 2 * kPi);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    cairo_pattern_t* cap = cairo_pattern_create_linear(0, cy - bodyR, 0, cy + bodyR);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.30, 0.31, 0.33);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.38, 0.39, 0.42);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, bodyR * 0.72, 0, 2 * kPi);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);

    // Pointer: a light line from near the centre to the rim.
    const double a = angleOf(position);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.2);
    cairo_new_path(cr);
    cairo_move_to(cr, cx + bodyR * 0.30 * std::cos(a), cy + bodyR * 0.30 * std::sin(a));
    cairo_line_to(cr, cx + (bodyR - 2.2) * std::cos(a), cy + (bodyR - 2.2) * std::sin(a));
    c.setColour(rgb(245, 248, 250));
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_restore(cr);
}

}  // namespace

void drawKnobs(const Emit& emit) {
    const KnobStyle knobs[] = {
        {147, kLevellerKnob, 1.0}, {148, kLinkKnob, 0.0},      {150, kDriveKnob, 0.5},
        {151, kOutputKnob, 0.0},   {152, kTransientKnob, 0.0}, {153, kReleaseKnob, 0.0},
    };
    for (const KnobStyle& s : knobs) {
        const int h = s.view.height();
        Canvas c(s.view.width(), h * kFrames);
        for (int i = 0; i < kFrames; ++i) drawFrame(c, i * h, s, i / double(kFrames - 1));
        emit(s.id, c);
    }
}

}  // namespace kt::art
