// The single-line text entry laid over a field while it is being edited. It is
// drawn above every other view, without a background of its own, so the field's
// artwork shows through. While open it is the frame's modal view (it receives
// every click in the window) and its focus view (it has the keyboard: the frame
// takes the keyboard focus from the host's window and gives it back when the
// entry closes).
//
// Return or Enter confirm, Escape cancels; a click outside the field, a key with
// Control held, or the keyboard going to another window also confirm. Typing
// takes printable ASCII; Backspace, Delete, Left, Right, Home, End (Shift
// extends the selection), a click places the caret, a drag or a double click
// selects. Runs on the user-interface thread.
#pragma once

#include <cstddef>
#include <string>

#include "editor/text_line.h"
#include "gui/CView.h"

// Told when the entry closes; the entry is already gone from the frame then.
class CTextEntryOwner {
  public:
    virtual ~CTextEntryOwner() = default;
    virtual void entryConfirmed(const char* text) = 0;
    virtual void entryCancelled() = 0;
};

// Font and colours of the entry.
struct CTextEntryLook {
    CFontRef font = kNormalFontSmaller;
    CColor text = kBlackCColor;
    CColor selectedText = kBlackCColor;
    CColor selection = kWhiteCColor;
    CColor caret = kBlackCColor;
};

class CTextEntryBox : public CView {
  public:
    explicit CTextEntryBox(CTextEntryOwner* owner);

    // Opens over `field` (frame coordinates) with `text` all selected, taking
    // the keyboard; false when it cannot (no open frame, already open).
    bool open(CFrame* frame, const CRect& field, const char* text, const CTextEntryLook& look,
              std::size_t maxLength);
    // Closes without telling the owner (the field is going away).
    void close();
    bool isOpen() const { return opened; }
    const std::string& getText() const { return line.text(); }

    void confirmEditing();
    void cancelEditing();

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    std::int32_t onKeyDown(VstKeyCode& key) override;
    std::int32_t onKeyUp(VstKeyCode& key) override;
    void looseFocus() override;

  private:
    // Gives up the frame's mouse and keyboard and hides the entry.
    void shutDown();
    // Width of the first n characters in the entry's font.
    CCoord advance(std::size_t n) const;
    // Where the text starts: centred when it fits, else scrolled so that the
    // caret stays inside the entry.
    CCoord textLeft();
    std::size_t positionAt(CCoord x);
    // Asks for the field's area to be redrawn with the entry over it.
    void changed();

    CTextEntryOwner* owner;
    CFrame* openIn = nullptr;
    CRect field;  // the field under the entry; the text sits on its baseline
    CTextEntryLook look;
    kt::TextLine line;
    CCoord scroll = 0;
    bool opened = false;
    bool closing = false;
    bool dragging = false;
};
