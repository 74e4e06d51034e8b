#include "editor/value_fields.h"

#include "editor/value_conversions.h"
#include "engine/parameters.h"

namespace {

struct FieldColours {
    CColor highlight;
    CColor highlightedFont;
    bool whiteCaret;  // otherwise the caret takes the text colour
    CColor font;
};

// Light text on the dark gain panels, dark text on the others.
constexpr FieldColours kColoursA{
    {90, 90, 100, 255}, {255, 255, 255, 255}, true, {213, 236, 246, 255}};
constexpr FieldColours kColoursB{
    {90, 90, 100, 255}, {255, 255, 255, 255}, false, {39, 39, 39, 255}};
constexpr FieldColours kColoursC{{80, 80, 90, 255}, {255, 255, 255, 255}, false, {39, 39, 39, 255}};

struct FieldLayout {
    int parameter;
    CRect place;
    CParamDisplayValueToStringProc display;
    CTextEditStringToValueProc entered;
    const char* text;
    const FieldColours* colours;
};

const FieldLayout& layoutOf(ValueField which) {
    static const FieldLayout layouts[] = {
        {kt::kDrive, {43, 409, 117, 427}, InputDisplay, InputEntered, "+0.00dB", &kColoursA},
        {kt::kOutput, {410, 409, 484, 427}, OutputDisplay, OutputEntered, "+0.00dB", &kColoursA},
        {kt::kTransient,
         {45, 221, 119, 239},
         TransientDisplay,
         TransientEntered,
         "20.0%",
         &kColoursB},
        {kt::kRelease, {45, 319, 119, 337}, ReleaseDisplay, ReleaseEntered, "200.0ms", &kColoursC},
        {kt::kLeveller, {411, 221, 485, 239}, LevelerDisplay, LevelerEntered, "off", &kColoursB},
        {kt::kLink, {411, 319, 485, 337}, LinkDisplay, LinkEntered, "100.0%", &kColoursC},
    };
    return layouts[static_cast<int>(which)];
}

}  // namespace

CKavTextEdit* makeValueField(ValueField which, CControlListener* listener, CBitmap* background) {
    const FieldLayout& layout = layoutOf(which);
    auto* field =
        new CKavTextEdit(layout.place, listener, layout.parameter, nullptr, background, 0);
    field->setBackOffset(layout.place.getTopLeft());
    field->setFont(kNormalFontSmaller);
    field->setStringConvert(layout.display);
    field->setText(layout.text);  // shown until the caller sets the value
    field->setString2FloatConvert(layout.entered);
    field->setFontColor(layout.colours->font);
    field->setCustomHighlightColor(layout.colours->highlight);
    field->setCustomFontHighlightedColor(layout.colours->highlightedFont);
    if (layout.colours->whiteCaret) field->setCustomCaretColor(kWhiteCColor);
    field->setMaxTextLength(kValueTextSize - 1);
    return field;
}
