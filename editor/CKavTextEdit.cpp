#include "editor/CKavTextEdit.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace {

// The selection behind selected text when the field sets no highlight colour.
constexpr CColor kDefaultSelection{170, 190, 220, 255};

}  // namespace

CKavTextEdit::CKavTextEdit(const CRect& size, CControlListener* listener, long tag,
                           const char* text, CBitmap* background, long style)
    : CTextLabel(size, text, background, style), entry(new CTextEntryBox(this)) {
    setListener(listener);
    setTag(tag);
}

CKavTextEdit::~CKavTextEdit() {
    entry->close();
    entry->forget();
}

void CKavTextEdit::setCustomFontEditionColor(const CColor& color) {
    editionColor = {color, true};
}
void CKavTextEdit::setCustomFontHighlightedColor(const CColor& color) {
    highlightedColor = {color, true};
}
void CKavTextEdit::setCustomHighlightColor(const CColor& color) {
    highlightColor = {color, true};
}
void CKavTextEdit::setCustomCaretColor(const CColor& color) {
    caretColor = {color, true};
}

CTextEntryLook CKavTextEdit::entryLook() const {
    CTextEntryLook look;
    look.font = getFont();
    look.text = editionColor.set ? editionColor.color : getFontColor();
    look.caret = caretColor.set ? caretColor.color : look.text;
    look.selection = highlightColor.set ? highlightColor.color : kDefaultSelection;
    look.selectedText = highlightedColor.set ? highlightedColor.color : look.text;
    return look;
}

void CKavTextEdit::draw(CDrawContext* context) {
    if (background) background->draw(context, size, getBackOffset());
    if (!editing) drawText(context, getText());
    setDirty(false);
}

CMouseEventResult CKavTextEdit::onMouseDown(CPoint&, const CButtonState&) {
    if (editing) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    editing = true;
    setDirty(true);
    // The entry lies over the field in frame coordinates.
    CPoint origin = size.getTopLeft();
    if (getParentView()) getParentView()->localToFrame(origin);
    const CRect field(origin, CPoint(size.width(), size.height()));
    if (!entry->open(getFrame(), field, getText(), entryLook(), maxTextLength)) {
        editing = false;
        setDirty(true);
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CKavTextEdit::endEditMode(bool commit) {
    editing = false;
    setDirty(true);
    if (commit) {
        beginEdit();
        float v = getValue();
        if (textToValue(getText(), v)) setValue(v);
        valueChanged();
        endEdit();
    }
    invalid();
}

void CKavTextEdit::entryConfirmed(const char* text) {
    setText(text);
    endEditMode(true);
}

void CKavTextEdit::entryCancelled() {
    endEditMode(false);
}

void CKavTextEdit::removed() {
    if (editing) {
        entry->close();
        editing = false;
    }
    CTextLabel::removed();
}
