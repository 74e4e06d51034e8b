#include "editor/CTextEntryBox.h"

#include <algorithm>
#include <cmath>

#include "gui/CFrame.h"

namespace {

constexpr CCoord kPadding = 2;  // room at either end when the text scrolls

}  // namespace

CTextEntryBox::CTextEntryBox(CTextEntryOwner* owner) : CView(CRect()), owner(owner) {}

bool CTextEntryBox::open(CFrame* frame, const CRect& fieldRect, const char* text,
                         const CTextEntryLook& newLook, std::size_t maxLength) {
    if (opened || !frame || !frame->isOpen()) return false;
    attached(nullptr, frame);
    openIn = frame;
    field = fieldRect;
    look = newLook;
    if (!look.font) look.font = kNormalFontSmaller;
    line.reset(text ? text : "", maxLength);
    // A line of the font's height (plus a pixel above and below), centred on the field.
    const CCoord s = look.font->getSize();
    const CCoord top = field.top + ((field.height() - s) - 1) * 0.5;
    size = CRect(field.left, top, field.right, top + s + 2);
    scroll = 0;
    dragging = false;
    opened = true;
    frame->setModalView(this);
    frame->setFocusView(this);
    changed();
    return true;
}

void CTextEntryBox::close() {
    if (opened) shutDown();
}

void CTextEntryBox::shutDown() {
    closing = true;
    if (openIn) {
        openIn->invalidRect(field);
        if (openIn->getFocusView() == this) openIn->setFocusView(nullptr);
        if (openIn->getModalView() == this) openIn->setModalView(nullptr);
    }
    openIn = nullptr;
    opened = dragging = closing = false;
}

void CTextEntryBox::confirmEditing() {
    if (!opened) return;
    const std::string typed = line.text();
    shutDown();
    owner->entryConfirmed(typed.c_str());
}

void CTextEntryBox::cancelEditing() {
    if (!opened) return;
    shutDown();
    owner->entryCancelled();
}

void CTextEntryBox::changed() {
    if (openIn) openIn->invalidRect(field);
}

CCoord CTextEntryBox::advance(std::size_t n) const {
    return CDrawContext::measureString(line.text().substr(0, n).c_str(), look.font);
}

CCoord CTextEntryBox::textLeft() {
    const CCoord width = advance(line.size());
    const CCoord room = size.width() - 2 * kPadding;
    if (width <= room) {  // where the field itself shows its text
        scroll = 0;
        return std::round(size.left + (size.width() - width) / 2);
    }
    const CCoord caretX = advance(line.caret());
    if (caretX - scroll > room) scroll = caretX - room;
    if (caretX - scroll < 0) scroll = caretX;
    scroll = std::clamp(scroll, CCoord(0), width - room);
    return std::round(size.left + kPadding - scroll);
}

std::size_t CTextEntryBox::positionAt(CCoord x) {
    const CCoord left = textLeft();
    std::size_t best = 0;
    CCoord bestDistance = std::fabs(left - x);
    for (std::size_t i = 1; i <= line.size(); ++i) {
        const CCoord distance = std::fabs(left + advance(i) - x);
        if (distance < bestDistance) best = i, bestDistance = distance;
    }
    return best;
}

void CTextEntryBox::draw(CDrawContext* context) {
    if (!opened) return;
    CRect oldClip;
    context->getClipRect(oldClip);
    // Clipped to the entry's width and the field's height, so no glyph is cut.
    CRect clip(size.left, field.top, size.right, field.bottom);
    clip.bound(oldClip);
    context->setClipRect(clip);

    const CCoord left = textLeft();
    const std::string& text = line.text();
    // The text is placed on the baseline the field uses for its own text.
    auto drawPart = [&](std::size_t from, std::size_t to, const CColor& colour) {
        if (to <= from) return;
        const CCoord x = left + advance(from);
        context->setFontColor(colour);
        context->drawString(text.substr(from, to - from).c_str(),
                            CRect(x, field.top, size.right, field.bottom), kLeftText);
    };
    context->setFont(look.font);
    if (line.hasSelection()) {
        const std::size_t start = line.selectionStart(), end = line.selectionEnd();
        context->setFillColor(look.selection);
        context->fillRect(CRect(std::round(left + advance(start)), size.top,
                                std::round(left + advance(end)), size.bottom));
        drawPart(0, start, look.text);
        drawPart(start, end, look.selectedText);
        drawPart(end, text.size(), look.text);
    } else {
        drawPart(0, text.size(), look.text);
        const CCoord x = std::round(left + advance(line.caret()));
        context->setFillColor(look.caret);
        context->fillRect(CRect(x, size.top, x + 1, size.bottom));
    }
    context->setClipRect(oldClip);
    setDirty(false);
}

CMouseEventResult CTextEntryBox::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!opened) return kMouseEventNotHandled;
    if (!field.pointInside(where)) {
        confirmEditing();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (buttons & kDoubleClick) {
        line.selectAll();
    } else {
        line.moveTo(positionAt(where.x), (buttons & kShift) != 0);
        dragging = true;
    }
    changed();
    return kMouseEventHandled;
}

CMouseEventResult CTextEntryBox::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (dragging && (buttons & kLButton)) {
        line.moveTo(positionAt(where.x), true);
        changed();
    }
    return kMouseEventHandled;
}

CMouseEventResult CTextEntryBox::onMouseUp(CPoint&, const CButtonState&) {
    dragging = false;
    return kMouseEventHandled;
}

CMouseEventResult CTextEntryBox::onMouseExited(CPoint&, const CButtonState&) {
    return kMouseEventHandled;  // typing goes on with the pointer elsewhere
}

bool CTextEntryBox::onWheel(const CPoint&, const CMouseWheelAxis&, const float&,
                            const CButtonState&) {
    return true;  // the controls below stay still while the entry is open
}

std::int32_t CTextEntryBox::onKeyDown(VstKeyCode& key) {
    if (!opened) return -1;
    // A shortcut (Control, or Command from a host that sends it) ends the entry as a click would.
    if (key.modifier & (MODIFIER_CONTROL | MODIFIER_COMMAND)) {
        confirmEditing();
        return 1;
    }
    const bool shift = (key.modifier & MODIFIER_SHIFT) != 0;
    switch (key.virt) {
        case VKEY_RETURN:
        case VKEY_ENTER:
            confirmEditing();
            return 1;
        case VKEY_ESCAPE:
            cancelEditing();
            return 1;
        case VKEY_BACK:
            line.eraseBackward();
            break;
        case VKEY_DELETE:
            line.eraseForward();
            break;
        case VKEY_LEFT:
            line.moveLeft(shift);
            break;
        case VKEY_RIGHT:
            line.moveRight(shift);
            break;
        case VKEY_HOME:
        case VKEY_UP:
            line.moveTo(0, shift);
            break;
        case VKEY_END:
        case VKEY_DOWN:
            line.moveTo(line.size(), shift);
            break;
        case VKEY_SPACE:
            line.insert(' ');
            break;
        case 0:
            if (key.character > 0 && key.character < 128)
                line.insert(static_cast<char>(key.character));
            break;
        default:
            break;
    }
    changed();
    return 1;  // the entry keeps the keyboard while open
}

std::int32_t CTextEntryBox::onKeyUp(VstKeyCode&) {
    return opened ? 1 : -1;
}

void CTextEntryBox::looseFocus() {
    if (closing || !opened) return;
    if (openIn && openIn->getModalView() == this) {
        confirmEditing();  // the user went on to another window
    } else {
        shutDown();  // the frame is closing: nothing may be changed now
        owner->entryCancelled();
    }
}
