#include "resources/artgen/widgets.h"

namespace kt::art {

void drawLamp(const Canvas& c, Rect r, Lamp lamp) {
    Colour core = rgb(84, 40, 34);
    Colour edge = rgb(52, 30, 28);
    if (lamp == Lamp::on) {
        core = rgb(255, 120, 70);
        edge = kSignalRed;
    } else if (lamp == Lamp::dimmed) {
        core = rgb(150, 70, 52);
        edge = rgb(110, 50, 38);
    } else if (lamp == Lamp::saved) {
        core = rgb(190, 240, 255);
        edge = rgb(90, 170, 220);
    }
    c.fillRounded(r, 1.0, edge);
    c.fillRounded({r.x + 1, r.y + 1, r.w - 2, r.h - 2}, 0.5, core);
}

void drawCap(const Canvas& c, Rect r, Colour surround, const std::string& caption, Lamp lamp) {
    c.fill(r, surround);
    const double radius = 3.0;
    // Shadow, rim, then the face with light from above.
    c.fillRounded({r.x, r.y + 1, r.w, r.h - 1}, radius, rgb(30, 32, 36, 0.55));
    c.fillRounded({r.x, r.y, r.w, r.h - 1}, radius, rgb(38, 40, 44));
    c.fillGradient({r.x + 1, r.y + 1, r.w - 2, r.h - 3}, radius - 1, kCapLight, kCap);
    if (lamp == Lamp::saved)
        c.strokeRounded({r.x, r.y, r.w, r.h - 1}, radius, 1.0, rgb(150, 220, 255));

    // A lamp strip along the bottom of the face and the caption above it.
    const double lampW = r.w >= 30 ? 15 : r.w - 8;
    drawLamp(c, {r.x + (r.w - lampW) / 2, r.y + r.h - 6, lampW, 3}, lamp);
    if (!caption.empty()) {
        Colour text = kCapText;
        if (lamp == Lamp::on) text = kLitText;
        if (lamp == Lamp::dimmed) text = rgb(200, 160, 140);
        if (lamp == Lamp::saved) text = rgb(210, 245, 255);
        c.text(r.x + r.w / 2, r.y + 10, caption, kCaptionFont, text, Align::centre);
    }
}

void drawArrow(const Canvas& c, double cx, double cy, double halfWidth, double height, int dir,
               Colour colour) {
    cairo_t* cr = c.cr();
    cairo_new_path(cr);
    const double tip = cy + dir * height / 2;
    const double base = cy - dir * height / 2;
    cairo_move_to(cr, cx, tip);
    cairo_line_to(cr, cx + halfWidth, base);
    cairo_line_to(cr, cx - halfWidth, base);
    cairo_close_path(cr);
    c.setColour(colour);
    cairo_fill(cr);
}

void drawHeader(const Canvas& c, Rect r, const std::string& text) {
    c.fillRounded(r, 2.0, kDarkGrey);
    c.text(r.x + r.w / 2, r.y + r.h - 2.5, text, kHeaderFont, kPanel, Align::centre);
}

}  // namespace kt::art
