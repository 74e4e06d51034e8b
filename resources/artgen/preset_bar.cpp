// The preset bar's buttons, drawn for the dark strip along the bottom edge: three images each
// (idle, hovered, pressed), five for the rocker (idle, hover left, hover right, pressed left,
// pressed right).
#include "resources/artgen/artwork.h"
#include "resources/artgen/widgets.h"

namespace kt::art {
namespace {

enum class Look { idle, hover, pressed };

constexpr Colour kStrip = kDarkGrey;

// The key face of a preset-bar button; its symbol is drawn in the returned colour.
Colour drawKey(const Canvas& c, Rect r, Look look) {
    c.fill(r, kStrip);
    Colour top = rgb(112, 114, 120), bottom = rgb(88, 90, 96), ink = kPanel;
    if (look == Look::hover) {
        top = rgb(136, 138, 146);
        bottom = rgb(106, 108, 116);
        ink = kWhite;
    } else if (look == Look::pressed) {
        top = rgb(200, 48, 8);
        bottom = kSignalRed;
        ink = kWhite;
    }
    c.fillRounded({r.x, r.y, r.w, r.h}, 2, rgb(50, 50, 52));
    c.fillGradient({r.x + 1, r.y + 1, r.w - 2, r.h - 2}, 1.5, top, bottom);
    return ink;
}

// A tray with an arrow into it (save, store) or out of it (load, recall), drawn pixel by pixel
// on the 17 x 15 key so that it stays sharp; column 8 is the middle.
void drawTrayIcon(const Canvas& c, Rect r, bool into, Colour ink) {
    auto px = [&](int x, int y, int w, int h) {
        c.fill({r.x + x, r.y + y, double(w), double(h)}, ink);
    };
    px(3, 9, 1, 3);  // tray sides and floor
    px(13, 9, 1, 3);
    px(3, 11, 11, 1);
    if (into) {
        px(8, 2, 1, 4);  // stem, then the head pointing down
        for (int row = 0; row < 4; ++row) px(5 + row, 6 + row, 7 - 2 * row, 1);
    } else {
        for (int row = 0; row < 4; ++row) px(8 - row, 2 + row, 1 + 2 * row, 1);
        px(8, 6, 1, 4);
    }
}

void emitTrayButton(const Emit& emit, int id, bool into) {
    const int w = 17, h = 15;
    Canvas c(w, 3 * h);
    const Look looks[] = {Look::idle, Look::hover, Look::pressed};
    for (int i = 0; i < 3; ++i) {
        const Rect r{0, double(i * h), double(w), double(h)};
        drawTrayIcon(c, r, into, drawKey(c, r, looks[i]));
    }
    emit(id, c);
}

void emitTextButton(const Emit& emit, int id, int w, int h, const char* text) {
    Canvas c(w, 3 * h);
    const Look looks[] = {Look::idle, Look::hover, Look::pressed};
    for (int i = 0; i < 3; ++i) {
        const Rect r{0, double(i * h), double(w), double(h)};
        const Colour ink = drawKey(c, r, looks[i]);
        c.text(w / 2.0, r.y + 9.5, text, {7.5, true, true}, ink, Align::centre);
    }
    emit(id, c);
}

void emitManual(const Emit& emit) {
    const int w = kManual.width(), h = kManual.height();
    Canvas c(w, 3 * h);
    const Look looks[] = {Look::idle, Look::hover, Look::pressed};
    for (int i = 0; i < 3; ++i) {
        const Rect r{0, double(i * h), double(w), double(h)};
        const Colour ink = drawKey(c, r, looks[i]);
        c.text(w / 2.0 + 0.5, r.y + 7.5, "?", {8, true, false}, ink, Align::centre);
    }
    emit(989, c);
}

void emitRocker(const Emit& emit) {
    // Images: idle, hover left, hover right, pressed left, pressed right.
    const int w = kRocker.width(), h = kRocker.height();
    Canvas c(w, 5 * h);
    const Look left[] = {Look::idle, Look::hover, Look::idle, Look::pressed, Look::idle};
    const Look right[] = {Look::idle, Look::idle, Look::hover, Look::idle, Look::pressed};
    for (int i = 0; i < 5; ++i) {
        const double top = i * h;
        const Rect l{0, top, w / 2.0, double(h)};
        const Rect r{w / 2.0, top, w / 2.0, double(h)};
        const Colour inkL = drawKey(c, l, left[i]);
        const Colour inkR = drawKey(c, r, right[i]);
        // Left and right arrows.
        cairo_t* cr = c.cr();
        cairo_new_path(cr);
        cairo_move_to(cr, l.x + 5, top + h / 2.0);
        cairo_line_to(cr, l.x + 10, top + h / 2.0 - 3.5);
        cairo_line_to(cr, l.x + 10, top + h / 2.0 + 3.5);
        cairo_close_path(cr);
        c.setColour(inkL);
        cairo_fill(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, r.x + r.w - 5, top + h / 2.0);
        cairo_line_to(cr, r.x + r.w - 10, top + h / 2.0 - 3.5);
        cairo_line_to(cr, r.x + r.w - 10, top + h / 2.0 + 3.5);
        cairo_close_path(cr);
        c.setColour(inkR);
        cairo_fill(cr);
    }
    emit(995, c);
}

}  // namespace

void drawPresetBar(const Emit& emit) {
    emitManual(emit);
    emitTrayButton(emit, 990, false);  // load, recall
    emitTrayButton(emit, 991, true);   // save, store
    emitTextButton(emit, 992, kDefaultBank.width(), kDefaultBank.height(), "default");
    emitTextButton(emit, 993, kDefaultPreset.width(), kDefaultPreset.height(), "default");
    emitTrayButton(emit, 994, false);  // a spare key, not used by the editor
    emitRocker(emit);
}

}  // namespace kt::art
