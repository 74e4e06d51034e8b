#include "gui/CTextLabel.h"

#include <cstring>
#include <vector>

#include "gui/CBitmap.h"

CTextLabel::CTextLabel(const CRect& size, const char* initial, CBitmap* background, long style)
    : CControl(size, nullptr, 0, background), style(style) {
    if (initial) text = initial;
}

void CTextLabel::setValue(float v) {
    CControl::setValue(v);
    if (stringConvert) {
        textStale.store(true, std::memory_order_relaxed);
        setDirty(true);
    }
}

void CTextLabel::setText(const char* newText) {
    textStale.store(false, std::memory_order_relaxed);
    const std::string t = newText ? newText : "";
    if (t == text) return;
    text = t;
    setDirty(true);
}

void CTextLabel::refreshText() {
    if (!stringConvert || !textStale.exchange(false, std::memory_order_relaxed)) return;
    char buffer[256] = {};
    stringConvert(getValue(), buffer, stringConvertData);
    buffer[sizeof buffer - 1] = 0;
    text = buffer;
}

const char* CTextLabel::getText() {
    refreshText();
    return text.c_str();
}

void CTextLabel::getText(char* destination) {
    if (destination) std::strcpy(destination, getText());
}

void CTextLabel::setStringConvert(CParamDisplayValueToStringProc convert, void* userData) {
    stringConvert = convert;
    stringConvertData = userData;
    if (convert) textStale.store(true, std::memory_order_relaxed);
    setDirty(true);
}

void CTextLabel::setString2FloatConvert(CTextEditStringToValueProc convert, void* userData) {
    string2FloatConvert = convert;
    string2FloatData = userData;
}

bool CTextLabel::textToValue(const char* input, float& result) const {
    if (!string2FloatConvert) return false;
    std::string copy = input ? input : "";
    std::vector<char> buffer(copy.begin(), copy.end());
    buffer.push_back(0);
    string2FloatConvert(buffer.data(), result, string2FloatData);
    return true;
}

void CTextLabel::drawBack(CDrawContext* context) {
    if (background) {
        background->draw(context, size, backOffset);
        return;
    }
    if (!transparent) {
        context->setFillColor(backColor);
        context->fillRect(size);
    }
    if (!(style & kNoFrame)) {
        context->setFrameColor(frameColor);
        context->setLineWidth(1);
        context->drawRect(size);
    }
}

void CTextLabel::drawText(CDrawContext* context, const char* t) {
    if ((style & kNoTextStyle) || !t || !*t) return;
    context->setFont(font);
    context->setFontColor(fontColor);
    CRect r = size;
    if (align != kCenterText) r.left += 2, r.right -= 2;
    context->drawString(t, r, align);
}

void CTextLabel::draw(CDrawContext* context) {
    if (!(style & kNoDrawStyle)) {
        drawBack(context);
        drawText(context, getText());
    }
    setDirty(false);
}
