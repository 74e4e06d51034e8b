// Bitmap 128: the editor's background with the product name, section headers, control
// legends, meter wells, value-field panels and the preset bar strip. The value fields,
// readouts and the name field draw parts of it as their own background, so those areas are
// plain panels.
#include "resources/artgen/artwork.h"
#include "resources/artgen/pixel_font.h"
#include "resources/artgen/widgets.h"

namespace kt::art {
namespace {

constexpr double kLeftColumn = 7;  // left column of sections, x 7..139
constexpr double kColumnWidth = 132;
constexpr double kRightColumn = 385;  // right column, x 385..517

void legend(const Canvas& c, double cx, double baseline, const std::string& s) {
    c.text(cx, baseline, s, kLegendFont, kDarkText, Align::centre);
}

// For pairs of controls only 4 pixels apart.
void smallLegend(const Canvas& c, double cx, double baseline, const std::string& s) {
    c.text(cx, baseline, s, kSmallLegendFont, kDarkText, Align::centre);
}

double centreX(Box b) {
    return (b.left + b.right) / 2.0;
}

// A recessed field behind a value-entry view; dark plates carry light text.
void field(const Canvas& c, Box b, bool dark) {
    const Rect r = toRect(b);
    if (dark) {
        c.fillRounded(r, 3, kDarkGrey);
        c.strokeRounded(r, 3, 1, rgb(60, 60, 60));
    } else {
        c.fillRounded(r, 3, kPanelShade);
        c.strokeRounded(r, 3, 1, kPanelLine);
    }
}

void meterWell(const Canvas& c, Box view) {
    const Rect r{view.left - 2.0, view.top - 2.0, view.width() + 4.0, 374};
    c.fillRounded({r.x - 1, r.y - 1, r.w + 2, r.h + 2}, 5, kPanelLine);
    c.fillRounded(r, 4, kWell);
}

void header(const Canvas& c, double x, double top, double w, const std::string& s) {
    drawHeader(c, {x, top, w, 10}, s);
}

void titleBand(const Canvas& c) {
    c.fill({0, 0, double(kEditorWidth), 22}, kDarkGrey);
    c.fill({0, 22, double(kEditorWidth), 1}, rgb(60, 60, 60));
    c.text(10, 16, "Kav Tamor", kTitleFont, kWhite);
    c.text(514, 15, "Brickwall Limiting, Metering and Requantizing", {9, false, false}, kPanel,
           Align::right);
}

void leftColumn(const Canvas& c) {
    header(c, kLeftColumn, 26, kColumnWidth, "DETECTOR");
    smallLegend(c, centreX(kDetectorOrder), 68, "Order");
    smallLegend(c, centreX(kOversample), 68, "Oversample");

    header(c, kLeftColumn, 96, kColumnWidth, "TRANSIENT");
    // The speed switch's three keys sit at x 39..56, 72..89 and 105..122 of the frame.
    legend(c, 47.5, 118, "hard");
    legend(c, 80.5, 118, "med");
    legend(c, 113.5, 118, "soft");
    field(c, kTransientField, false);

    header(c, kLeftColumn, 250, kColumnWidth, "RELEASE");
    field(c, kReleaseField, false);

    header(c, kLeftColumn, 338, kColumnWidth, "INPUT");
    legend(c, 25, 380, "Drive");
    legend(c, centreX(kPostMeter), 365, "Post");
    legend(c, centreX(kPostMeter), 402, "Meter");
    field(c, kDriveField, true);
}

void rightColumn(const Canvas& c) {
    header(c, kRightColumn, 26, kColumnWidth, "REQUANTIZE");
    smallLegend(c, centreX(kQuantize), 68, "Quantize");
    smallLegend(c, centreX(kAutoblack), 68, "Autoblack");
    legend(c, centreX(kBits), 113, "Bits");
    legend(c, centreX(kNoiseShape), 113, "Shaping");

    header(c, kRightColumn, 150, kColumnWidth, "LEVELLER");
    field(c, kLevellerField, false);

    header(c, kRightColumn, 250, kColumnWidth, "L/R LINK");
    field(c, kLinkField, false);

    header(c, kRightColumn, 338, kColumnWidth, "OUTPUT");
    legend(c, centreX(kAutoOut), 365, "Auto");
    legend(c, centreX(kAutoOut), 402, "Gain");
    legend(c, 497, 380, "Level");
    field(c, kOutputField, true);
}

void centreColumn(const Canvas& c) {
    const Font title{8, true, false};
    c.text(centreX(kMeterIn), 34, "IN", title, kDarkText, Align::centre);
    c.text(centreX(kMeterOut), 34, "OUT", title, kDarkText, Align::centre);
    c.text(centreX(kMeterGR), 34, "GR", title, kDarkText, Align::centre);
    meterWell(c, kMeterIn);
    meterWell(c, kMeterOut);
    // Gain-reduction frame: the view draws its own legend image inside.
    const Rect gr = toRect(kMeterGR);
    c.fillRounded({gr.x - 2, gr.y - 2, gr.w + 4, gr.h + 4}, 4, kPanelLine);

    header(c, 224, 216, 78, "TRACES / ZOOM");
    header(c, 224, 291, 78, "METER");
    legend(c, centreX(kPower), 445, "Power");
    // The about view's click area carries the logo.
    const Rect info = toRect(kInfo);
    c.text(info.x + info.w / 2, info.y + 15, "Kav Tamor", {11, true, false}, kDarkGrey,
           Align::centre);
    c.text(info.x + info.w / 2, info.y + 26, "about / latency", {7.5, false, true},
           rgb(100, 110, 116), Align::centre);
}

// A legend above a group of preset-bar keys, with a bracket line under it.
void barGroup(const Canvas& c, double left, double right, const std::string& s) {
    const double w = c.textWidth(s, kSmallLegendFont) + 6;
    const double cx = (left + right) / 2;
    c.fill({left, 442, (right - left - w) / 2, 1}, kPanelLine);
    c.fill({cx + w / 2, 442, (right - left - w) / 2, 1}, kPanelLine);
    c.fill({left, 442, 1, 4}, kPanelLine);
    c.fill({right - 1, 442, 1, 4}, kPanelLine);
    c.text(cx, 445, s, kSmallLegendFont, kDarkText, Align::centre);
}

void presetBar(const Canvas& c) {
    barGroup(c, kSaveBank.left, kLoadBank.right, "BANK");
    barGroup(c, kSavePreset.left, kLoadPreset.right, "PRESET");
    barGroup(c, kStoreA.left, kRecallB.right, "COMPARE");
    const double top = kBarStripTop;
    c.fill({0, top, double(kEditorWidth), double(kEditorHeight) - top}, kDarkGrey);
    c.fill({0, top, double(kEditorWidth), 1}, rgb(60, 60, 60));
    // Memory names in the gaps between their store and recall keys.
    drawPixelText(c, 411, 451, "A", kPanel);
    drawPixelText(c, 475, 451, "B", kPanel);
    // Name field.
    const Rect name = toRect(kNameField);
    c.fill(name, kNameFieldBlue);
    c.strokeRounded(name, 0, 1, kDarkText);
    // The preset menu shows this part of the background: a drop-down mark.
    const Rect menu = toRect(kPresetMenu);
    c.fillRounded(menu, 2, rgb(104, 106, 112));
    drawArrow(c, menu.x + menu.w / 2, menu.y + menu.h / 2, 3.5, 4, 1, kPanel);
}

}  // namespace

void drawBackground(const Canvas& c) {
    c.fill({0, 0, double(kEditorWidth), double(kEditorHeight)}, kPanel);
    titleBand(c);
    leftColumn(c);
    rightColumn(c);
    centreColumn(c);
    presetBar(c);
}

void drawBackground(const Emit& emit) {
    Canvas c(kEditorWidth, kEditorHeight);
    drawBackground(c);
    emit(128, c);
}

}  // namespace kt::art
