// The level-meter bars (129, 130, 154, 155), the scale legends between the bars (131 to 136),
// and the gain-reduction meter's legend background (156) and bar (167).
#include <cmath>
#include <string>

#include "resources/artgen/artwork.h"
#include "resources/artgen/widgets.h"

namespace kt::art {
namespace {

constexpr int kSegment = 3;  // a segment is two lit rows and one dark row: half a dB

Colour dim(Colour c) {
    return mix(kWell, c, 0.24);
}

// A segmented bar whose colour changes at source rows `redBelow` and `yellowBelow`: rows above
// `redBelow` are red, rows from there to `yellowBelow` yellow, the rest green.
void drawBar(const Canvas& c, int height, int redBelow, int yellowBelow, bool lit) {
    c.fill({0, 0, double(c.width()), double(height)}, kWell);
    for (int y = 0; y < height; ++y) {
        if (y % kSegment == kSegment - 1) continue;
        Colour zone = kMeterGreen;
        if (y < redBelow)
            zone = kMeterRed;
        else if (y < yellowBelow)
            zone = kMeterYellow;
        if (!lit) zone = dim(zone);
        // Brighter along the middle for a rounded look.
        for (int x = 0; x < c.width(); ++x) {
            const double t = std::abs(x - 7.0) / 8.0;
            const Colour px = lit ? mix(mix(zone, kWhite, 0.18), zone, t) : zone;
            c.fill({double(x), double(y), 1, 1}, px);
        }
    }
}

std::string signedDb(int d) {
    if (d > 0) return "+" + std::to_string(d);
    return std::to_string(d);
}

// A scale legend for the strip between the bars: `topDb` at frame y 42 (legend y 4), 6 pixels
// per dB down to 60 dB below; numbers every 6 dB counted from 0, ticks every dB.
void drawLegend(const Canvas& c, int topDb, bool kScale) {
    c.fill({0, 0, double(c.width()), double(c.height())}, kWell);
    const int top = kBarTop - 38;  // the strip starts at frame y 38
    const Font font{7.5, false, true};
    for (int d = topDb; d >= topDb - 60; --d) {
        const double y = top + (topDb - d) * kPixelsPerDb;
        const bool major = d % 6 == 0;
        const Colour tick = major ? rgb(170, 178, 186) : kWellLine;
        const double len = major ? 3 : 2;
        c.fill({0, y, len, 1}, tick);
        c.fill({c.width() - len, y, len, 1}, tick);
        if (major) {
            Colour text = rgb(200, 210, 218);
            if (d == 0) text = kScale ? kMeterYellow : kWhite;
            if (d > 0 && !kScale) text = rgb(255, 120, 80);
            c.text(c.width() / 2.0, y + 3, signedDb(d), font, text, Align::centre);
        }
    }
    if (kScale) {
        // The yellow to red boundary of the K bars, 4 dB above the reference.
        const double y = top + (topDb - 4) * kPixelsPerDb;
        c.fill({0, y, 3, 1}, kMeterRed);
        c.fill({c.width() - 3.0, y, 3, 1}, kMeterRed);
    }
}

// The gain-reduction legend for one range: `pxPerDb` pixels per dB over `rangeDb`, drawn into
// the half of bitmap 156 that starts at `top`.
void drawGrHalf(const Canvas& c, double top, int rangeDb, int pxPerDb, int labelEvery) {
    const double w = c.width();
    const double h = kMeterGR.height();
    c.fill({0, top, w, h}, kPanel);
    c.fillRounded({0, top, w, h}, 3, kWell);
    // Unlit slots behind the two bars (view x 1..16 and 42..57, y 3..148).
    for (double x : {1.0, 42.0})
        for (int y = 3; y < 3 + 145; ++y)
            if ((y - 3) % kSegment != kSegment - 1)
                c.fill({x, top + y, 15, 1}, dim(rgb(255, 150, 50)));
    const Font font{7.5, false, true};
    // A reduction of d dB ends its bar at view y 4 + d * pxPerDb.
    for (int d = 0; d <= rangeDb; ++d) {
        const double y = top + 4 + d * pxPerDb - 1;
        const bool major = d % labelEvery == 0;
        c.fill({17, y, major ? 3.0 : 2.0, 1}, major ? rgb(170, 178, 186) : kWellLine);
        c.fill({major ? 38.0 : 39.0, y, major ? 3.0 : 2.0, 1},
               major ? rgb(170, 178, 186) : kWellLine);
        if (major && d > 0)
            c.text(29, y + 3, std::to_string(d), font, rgb(200, 210, 218), Align::centre);
    }
}

}  // namespace

void drawMeters(const Emit& emit) {
    // Peak bars: 0 dBFS at source row 120, yellow from -6 dBFS.
    {
        Canvas lit(kBarImageWidth, kPeakBarHeight);
        drawBar(lit, kPeakBarHeight, 120, 120 + 6 * kPixelsPerDb, true);
        emit(130, lit);
        Canvas unlit(kBarImageWidth, kPeakBarHeight);
        drawBar(unlit, kPeakBarHeight, 120, 120 + 6 * kPixelsPerDb, false);
        emit(155, unlit);
    }
    // K bars: green up to the reference at row 144, yellow to +4 dBr, red above.
    {
        Canvas lit(kBarImageWidth, kKBarHeight);
        drawBar(lit, kKBarHeight, kKReference - 4 * kPixelsPerDb, kKReference, true);
        emit(154, lit);
        Canvas unlit(kBarImageWidth, kKBarHeight);
        drawBar(unlit, kKBarHeight, kKReference - 4 * kPixelsPerDb, kKReference, false);
        emit(129, unlit);
    }
    // Legends: K-20 (+20 at the top), K-14 (+14), and the one shared by K-12 and the peak
    // scale (+12 at the top, 0 at frame y 114 in both).
    const int legendW = kInLegend.width();
    const int legendH = kInLegend.height();
    struct LegendArt {
        int inputId, outputId, topDb;
        bool kScale;
    };
    for (LegendArt l : {LegendArt{131, 134, 20, true}, LegendArt{132, 135, 14, true},
                        LegendArt{133, 136, 12, false}}) {
        Canvas c(legendW, legendH);
        drawLegend(c, l.topDb, l.kScale);
        emit(l.inputId, c);
        emit(l.outputId, c);
    }
    // Gain reduction: 24 dB range in the upper half, 12 dB in the lower.
    {
        Canvas c(kMeterGR.width(), 2 * kMeterGR.height());
        drawGrHalf(c, 0, 24, 6, 6);
        drawGrHalf(c, kMeterGR.height(), 12, 12, 3);
        emit(156, c);
    }
    {
        Canvas c(kBarImageWidth, 146);
        c.fill({0, 0, double(kBarImageWidth), 146}, kWell);
        for (int y = 0; y < 146; ++y) {
            if (y % kSegment == kSegment - 1) continue;
            const Colour zone = mix(rgb(255, 196, 64), kSignalRed, y / 145.0);
            for (int x = 0; x < kBarImageWidth; ++x) {
                const double t = std::abs(x - 7.0) / 8.0;
                c.fill({double(x), double(y), 1, 1}, mix(mix(zone, kWhite, 0.18), zone, t));
            }
        }
        emit(167, c);
    }
}

}  // namespace kt::art
