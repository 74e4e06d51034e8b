// The text of a single-line entry with its caret and selection, without any
// drawing. Positions are byte offsets; the entry takes printable ASCII only, so
// each byte is one character. The selection runs between the anchor and the
// caret and is empty when they meet.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kt {

class TextLine {
  public:
    // Starts over with `text` (cut to maxLength characters), all of it selected.
    void reset(std::string_view text, std::size_t maxLength);

    const std::string& text() const { return value; }
    std::size_t size() const { return value.size(); }
    std::size_t caret() const { return caretAt; }
    std::size_t selectionStart() const { return caretAt < anchor ? caretAt : anchor; }
    std::size_t selectionEnd() const { return caretAt < anchor ? anchor : caretAt; }
    bool hasSelection() const { return caretAt != anchor; }

    void selectAll();
    // Replaces the selection by c; false when c is not printable ASCII or the
    // text is full.
    bool insert(char c);
    // Backspace and Delete: the selection if there is one, else one character
    // before or after the caret.
    void eraseBackward();
    void eraseForward();
    // Moves the caret to `position` (limited to the text); with `extend` the
    // selection grows or shrinks with it, otherwise it goes.
    void moveTo(std::size_t position, bool extend);
    // One character left or right; without `extend` a selection collapses to
    // its edge on that side instead.
    void moveLeft(bool extend);
    void moveRight(bool extend);

  private:
    void eraseSelection();

    std::string value;
    std::size_t caretAt = 0;
    std::size_t anchor = 0;
    std::size_t limit = 0;
};

}  // namespace kt
