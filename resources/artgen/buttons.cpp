// Two- and three-state buttons (off, on, saved or dimmed stacked vertically), the hover glow,
// the transient speed switch and the about view's placeholder.
#include <cmath>
#include <vector>

#include "resources/artgen/artwork.h"
#include "resources/artgen/widgets.h"

namespace kt::art {
namespace {

// A strip of caps, one image per lamp state, each `w` x `h`.
void emitCaps(const Emit& emit, int id, int w, int h, const std::string& caption,
              const std::vector<Lamp>& states) {
    Canvas c(w, h * int(states.size()));
    for (std::size_t i = 0; i < states.size(); ++i)
        drawCap(c, {0, double(i * h), double(w), double(h)}, kPanel, caption, states[i]);
    emit(id, c);
}

// The round power key: a ring and the power symbol, lit red when on.
void drawPowerKey(const Canvas& c, double top, Lamp lamp) {
    const double size = kPower.width();
    const double cx = size / 2, cy = top + size / 2;
    const double pi = 3.14159265358979;
    cairo_t* cr = c.cr();
    c.fill({0, top, size, size}, kPanel);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy + 0.8, size / 2 - 1, 0, 2 * pi);
    c.setColour(rgb(30, 32, 36, 0.5));
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, top + size);
    cairo_pattern_add_color_stop_rgb(p, 0, kCapLight.r, kCapLight.g, kCapLight.b);
    cairo_pattern_add_color_stop_rgb(p, 1, kCap.r, kCap.g, kCap.b);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, size / 2 - 1.5, 0, 2 * pi);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);

    Colour symbol = kCapText;
    if (lamp == Lamp::on) symbol = rgb(255, 110, 60);
    if (lamp == Lamp::saved) symbol = rgb(190, 240, 255);
    if (lamp != Lamp::off) {
        // A soft halo behind the lit symbol.
        cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, 2, cx, cy, 12);
        cairo_pattern_add_color_stop_rgba(halo, 0, symbol.r, symbol.g, symbol.b, 0.35);
        cairo_pattern_add_color_stop_rgba(halo, 1, symbol.r, symbol.g, symbol.b, 0.0);
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, 12, 0, 2 * pi);
        cairo_set_source(cr, halo);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
    }
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    c.setColour(symbol);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy + 0.5, 7, -pi / 2 + 0.7, 1.5 * pi - 0.7);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy - 8);
    cairo_line_to(cr, cx, cy - 1);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// The small upright key of AutoOut and PostMeter: a cap with a lamp at its top.
void drawSmallKey(const Canvas& c, double top, Lamp lamp) {
    const double w = kAutoOut.width(), h = kAutoOut.height();
    drawCap(c, {0, top, w, h}, kPanel, "", Lamp::off);
    // Replace the cap's bottom strip by a lamp near the top.
    c.fillGradient({1, top + 1, w - 2, h - 3}, 2, kCapLight, kCap);
    drawLamp(c, {4, top + 4, w - 8, 4}, lamp);
    for (int i = 0; i < 3; ++i) c.fill({5, top + 12 + 3 * i, w - 10, 1}, rgb(50, 52, 56));
}

void drawGlow(const Emit& emit) {
    // Drawn over a hovered 33 x 19 button: a light rim and a faint sheen, mostly transparent.
    Canvas c(33, 19);
    c.fillRounded({0, 0, 33, 18}, 3, rgb(255, 255, 255, 0.10));
    c.strokeRounded({0, 0, 33, 18}, 3, 1.0, rgb(255, 255, 255, 0.55));
    c.strokeRounded({1, 1, 31, 16}, 2, 1.0, rgb(255, 200, 160, 0.25));
    emit(170, c);
}

void drawSpeedSwitch(const Emit& emit) {
    // Three keys at view x 1..18, 34..51 and 67..84, y 2..19; one image per selected key.
    const double w = kSpeedSwitch.width(), h = kSpeedSwitch.height();
    const double keyX[] = {1, 34, 67};
    const char* letters[] = {"A", "B", "C"};
    Canvas c(int(w), int(h) * 3);
    for (int sel = 0; sel < 3; ++sel) {
        const double top = sel * h;
        c.fill({0, top, w, h}, kPanel);
        // A rail joining the keys.
        c.fillRounded({4, top + 9, 78, 4}, 2, kPanelLine);
        for (int k = 0; k < 3; ++k) {
            const Rect key{keyX[k], top + 2, 17, 18};
            drawCap(c, key, kPanel, "", Lamp::off);
            c.fillGradient({key.x + 1, key.y + 1, key.w - 2, key.h - 3}, 2, kCapLight, kCap);
            const bool on = k == sel;
            c.text(key.x + key.w / 2, key.y + 12, letters[k], {9, true, false},
                   on ? kLitText : kCapText, Align::centre);
            drawLamp(c, {key.x + 4, top + 21.5, 9, 3}, on ? Lamp::on : Lamp::off);
        }
    }
    emit(146, c);
}

}  // namespace

void drawButtons(const Emit& emit) {
    const int w = 33, h = 19;
    const std::vector<Lamp> offOnSaved = {Lamp::off, Lamp::on, Lamp::saved};
    emitCaps(emit, 139, w, h, "II", offOnSaved);                            // DetectorOrder
    emitCaps(emit, 140, w, h, "OVS", {Lamp::off, Lamp::on});                // Oversample
    emitCaps(emit, 162, w, h, "QNT", offOnSaved);                           // Quantize
    emitCaps(emit, 163, w, h, "BLK", {Lamp::off, Lamp::on, Lamp::dimmed});  // Autoblack
    emitCaps(emit, 144, w, h, "12dB", offOnSaved);                          // AttZoom
    emitCaps(emit, 164, w, h, "1", offOnSaved);                             // AttShow bit 0
    emitCaps(emit, 165, w, h, "2", offOnSaved);                             // AttShow bit 1
    emitCaps(emit, 166, w, h, "L", offOnSaved);                             // AttShow bit 2
    emitCaps(emit, 160, w, h, "TP", offOnSaved);                            // MeterOvs
    drawGlow(emit);

    {
        Canvas c(kPower.width(), kPower.height() * 3);
        for (int i = 0; i < 3; ++i) drawPowerKey(c, i * kPower.height(), offOnSaved[i]);
        emit(149, c);
    }
    {
        Canvas c(kAutoOut.width(), kAutoOut.height() * 3);
        for (int i = 0; i < 3; ++i) drawSmallKey(c, i * kAutoOut.height(), offOnSaved[i]);
        emit(161, c);
    }
    drawSpeedSwitch(emit);
    {
        // The about view keeps this as its background but never draws it; should it ever be
        // drawn it matches the panel it covers.
        Canvas background(kEditorWidth, kEditorHeight);
        drawBackground(background);
        Canvas c(kInfo.width(), kInfo.height());
        c.paste(background, -kInfo.left, -kInfo.top);
        emit(157, c);
    }
}

}  // namespace kt::art
