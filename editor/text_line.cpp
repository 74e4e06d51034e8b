#include "editor/text_line.h"

#include <algorithm>

namespace kt {

void TextLine::reset(std::string_view text, std::size_t maxLength) {
    limit = maxLength;
    value.assign(text.substr(0, std::min(text.size(), maxLength)));
    selectAll();
}

void TextLine::selectAll() {
    anchor = 0;
    caretAt = value.size();
}

bool TextLine::insert(char c) {
    if (c < 32 || c > 126) return false;
    if (value.size() - (selectionEnd() - selectionStart()) >= limit) return false;
    eraseSelection();
    value.insert(caretAt, 1, c);
    anchor = ++caretAt;
    return true;
}

void TextLine::eraseBackward() {
    if (!hasSelection() && caretAt > 0) anchor = caretAt - 1;
    eraseSelection();
}

void TextLine::eraseForward() {
    if (!hasSelection() && caretAt < value.size()) anchor = caretAt + 1;
    eraseSelection();
}

void TextLine::eraseSelection() {
    const std::size_t start = selectionStart();
    value.erase(start, selectionEnd() - start);
    caretAt = anchor = start;
}

void TextLine::moveTo(std::size_t position, bool extend) {
    caretAt = std::min(position, value.size());
    if (!extend) anchor = caretAt;
}

void TextLine::moveLeft(bool extend) {
    if (hasSelection() && !extend)
        moveTo(selectionStart(), false);
    else
        moveTo(caretAt > 0 ? caretAt - 1 : 0, extend);
}

void TextLine::moveRight(bool extend) {
    if (hasSelection() && !extend)
        moveTo(selectionEnd(), false);
    else
        moveTo(caretAt + 1, extend);
}

}  // namespace kt
