// A line of text over a background bitmap (drawn with a source offset) or a
// plain colour. With a value-to-text function set, the text follows the value;
// a text-to-value function turns typed text back into a value.
#pragma once

#include <atomic>
#include <string>

#include "gui/CControl.h"

using CParamDisplayValueToStringProc = void (*)(float value, char* string, void* userData);
using CTextEditStringToValueProc = void (*)(char* string, float& output, void* userData);

enum CTextLabelStyle {
    kNoTextStyle = 1 << 4,  // draws no text
    kNoDrawStyle = 1 << 5,  // draws nothing
    kNoFrame = 1 << 11,     // no outline when there is no background bitmap
};

class CTextLabel : public CControl {
  public:
    CTextLabel(const CRect& size, const char* text = nullptr, CBitmap* background = nullptr,
               long style = 0);

    // Sets the value; with a value-to-text function the text follows on the next draw.
    // May be called from any thread.
    void setValue(float v) override;

    // Text operations run on the user-interface thread.
    virtual void setText(const char* text);
    const char* getText();
    void getText(char* destination);  // copies the text, terminated

    void setStringConvert(CParamDisplayValueToStringProc convert, void* userData = nullptr);
    void setString2FloatConvert(CTextEditStringToValueProc convert, void* userData = nullptr);
    // Converts text with the text-to-value function; false when there is none.
    bool textToValue(const char* text, float& value) const;

    void setFont(CFontRef f) { font = f ? f : kNormalFont; }
    CFontRef getFont() const { return font; }
    void setFontColor(const CColor& c) { fontColor = c; }
    CColor getFontColor() const { return fontColor; }
    void setBackColor(const CColor& c) { backColor = c; }
    CColor getBackColor() const { return backColor; }
    void setFrameColor(const CColor& c) { frameColor = c; }
    CColor getFrameColor() const { return frameColor; }
    void setHoriAlign(CHoriTxtAlign a) { align = a; }
    CHoriTxtAlign getHoriAlign() const { return align; }
    // Where in the background bitmap the view's top-left is taken from.
    void setBackOffset(const CPoint& p) { backOffset = p; }
    const CPoint& getBackOffset() const { return backOffset; }
    void setStyle(long s) { style = s; }
    long getStyle() const { return style; }
    void setTransparency(bool state) { transparent = state; }

    void draw(CDrawContext* context) override;

  protected:
    void drawBack(CDrawContext* context);
    void drawText(CDrawContext* context, const char* text);
    // Brings the text up to date with a value set since (user-interface thread).
    void refreshText();

    std::string text;
    CParamDisplayValueToStringProc stringConvert = nullptr;
    void* stringConvertData = nullptr;
    CTextEditStringToValueProc string2FloatConvert = nullptr;
    void* string2FloatData = nullptr;
    std::atomic<bool> textStale{false};
    CFontRef font = kNormalFontSmaller;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CHoriTxtAlign align = kCenterText;
    CPoint backOffset;
    long style;
    bool transparent = false;
};
