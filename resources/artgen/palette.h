// The colours of the editor's artwork. The first group is shared with the code that draws on
// top of the artwork (text printers, readouts, value entry); the second are shades derived
// from it for the artwork alone.
#pragma once

namespace kt::art {

struct Colour {
    double r, g, b, a = 1.0;
};

constexpr Colour rgb(int r, int g, int b, double a = 1.0) {
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

constexpr Colour withAlpha(Colour c, double a) {
    return {c.r, c.g, c.b, a};
}

constexpr Colour mix(Colour x, Colour y, double t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

// Shared with the editor's code.
constexpr Colour kPanel = rgb(213, 236, 246);          // panel, glyph cells, about panel
constexpr Colour kDarkGrey = rgb(79, 79, 79);          // readout boxes, inverse glyph cells
constexpr Colour kSignalRed = rgb(229, 53, 5);         // overs, lit indicators
constexpr Colour kNameFieldBlue = rgb(209, 227, 238);  // preset name field
constexpr Colour kDarkText = rgb(36, 36, 32);          // legends, name field text and frame
constexpr Colour kFieldText = rgb(39, 39, 39);         // value-entry text on the panel
constexpr Colour kHighlight = rgb(90, 90, 100);        // selection in value entry

// Artwork only.
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kPanelShade = rgb(193, 219, 232);  // recessed panel areas
constexpr Colour kPanelLine = rgb(160, 188, 204);   // panel engraving lines
constexpr Colour kWell = rgb(44, 46, 50);           // meter wells behind the bars
constexpr Colour kWellLine = rgb(100, 104, 110);    // scale ticks in the wells
constexpr Colour kCap = rgb(70, 72, 76);            // button caps
constexpr Colour kCapLight = rgb(104, 106, 112);    // top edge of button caps
constexpr Colour kCapText = rgb(176, 184, 190);     // unlit caption on a cap
constexpr Colour kLitText = rgb(255, 214, 170);     // lit caption on a cap
constexpr Colour kMeterGreen = rgb(72, 214, 96);
constexpr Colour kMeterYellow = rgb(246, 206, 44);
constexpr Colour kMeterRed = kSignalRed;

}  // namespace kt::art
