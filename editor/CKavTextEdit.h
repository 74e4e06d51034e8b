// A text field that shows a value as text and lets the user type a new one: a
// click opens a text entry exactly over the field (CTextEntryBox); confirming
// converts the typed text with the text-to-value function, sets the value and
// tells the listener inside a begin/end edit bracket; cancelling changes
// nothing. Used for the six value fields under the knobs and for the preset
// name. Runs on the user-interface thread, except setValue (any thread).
#pragma once

#include <cstddef>

#include "editor/CTextEntryBox.h"
#include "gui/CTextLabel.h"

class CKavTextEdit : public CTextLabel, private CTextEntryOwner {
  public:
    CKavTextEdit(const CRect& size, CControlListener* listener, long tag,
                 const char* text = nullptr, CBitmap* background = nullptr, long style = 0);

    // Colours of the entry, each used only once it has been set: the text while
    // editing (else the font colour), selected text, the selection behind it
    // and the caret (else the text colour).
    void setCustomFontEditionColor(const CColor& color);
    void setCustomFontHighlightedColor(const CColor& color);
    void setCustomHighlightColor(const CColor& color);
    void setCustomCaretColor(const CColor& color);
    // The longest text the entry takes, in characters.
    void setMaxTextLength(std::size_t characters) { maxTextLength = characters; }

    // The background bitmap, and the text unless the entry is showing it.
    void draw(CDrawContext* context) override;
    // Any button opens the entry; a click while it is open does nothing.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Ends editing; with commit the current text becomes the value and the
    // listener is told, bracketed by beginEdit and endEdit.
    void endEditMode(bool commit);
    bool isBeingEdited() const { return editing; }
    // The entry as it is open now (null while not editing); for tests.
    CTextEntryBox* getEntry() const { return editing ? entry : nullptr; }

    void removed() override;

  protected:
    ~CKavTextEdit() override;

  private:
    struct CustomColor {
        CColor color = kWhiteCColor;
        bool set = false;
    };

    CTextEntryLook entryLook() const;
    void entryConfirmed(const char* text) override;
    void entryCancelled() override;

    CustomColor editionColor, highlightedColor, highlightColor, caretColor;
    std::size_t maxTextLength = 127;
    bool editing = false;
    CTextEntryBox* entry;
};
