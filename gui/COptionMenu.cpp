#include "gui/COptionMenu.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace {

constexpr CColor kListBack{213, 236, 246, 255};
constexpr CColor kListText{39, 39, 39, 255};
constexpr CColor kListHighlight{90, 90, 100, 255};
constexpr CColor kListHighlightText{255, 255, 255, 255};
constexpr CColor kListBorder{79, 79, 79, 255};
constexpr CCoord kPadding = 6;
constexpr CCoord kMarkWidth = 10;  // room for the mark of the selected entry

}  // namespace

// The open list: shown by the frame as its modal view, so it sits above every
// other view and receives all mouse and key input while open.
class COptionMenuPopup : public CView {
  public:
    explicit COptionMenuPopup(COptionMenu* menu) : CView(CRect()), menu(menu) {}

    void layout(CFrame* frame) {
        const long n = menu->getNbEntries();
        perColumn = menu->getNbItemsPerColumn() > 0 ? menu->getNbItemsPerColumn() : std::max(1L, n);
        columns = std::max(1L, (n + perColumn - 1) / perColumn);
        rows = std::min(perColumn, std::max(1L, n));
        itemHeight = std::ceil(menu->getFont()->getSize() * 1.45);
        CCoord widest = 40;
        for (long i = 0; i < n; ++i)
            widest = std::max(widest,
                              CDrawContext::measureString(menu->getEntryTitle(i), menu->getFont()));
        columnWidth = std::ceil(widest + 2 * kPadding + kMarkWidth);
        const CCoord w = columns * columnWidth + 2;
        const CCoord h = rows * itemHeight + 2;

        // Below the menu when it fits, otherwise above it; always inside the frame.
        CRect anchor = menu->getViewSize();
        CPoint origin = anchor.getTopLeft();
        menu->getParentView()->localToFrame(origin);
        anchor.moveTo(origin.x, origin.y);
        const CRect frameSize = frame->getViewSize();
        CCoord top = anchor.bottom;
        if (top + h > frameSize.bottom) top = anchor.top - h;
        top = std::clamp(top, frameSize.top, std::max(frameSize.top, frameSize.bottom - h));
        const CCoord left =
            std::clamp(anchor.left, frameSize.left, std::max(frameSize.left, frameSize.right - w));
        size = CRect(left, top, left + w, top + h);
        hovered = menu->getCurrentIndex();
    }

    long itemAt(const CPoint& where) const {
        if (!size.pointInside(where)) return -1;
        const long column = static_cast<long>((where.x - size.left - 1) / columnWidth);
        const long row = static_cast<long>((where.y - size.top - 1) / itemHeight);
        if (column < 0 || row < 0 || column >= columns || row >= rows) return -1;
        const long index = column * perColumn + row;
        return index < menu->getNbEntries() ? index : -1;
    }

    CRect itemRect(long index) const {
        const long column = index / perColumn, row = index % perColumn;
        const CCoord left = size.left + 1 + column * columnWidth;
        const CCoord top = size.top + 1 + row * itemHeight;
        return CRect(left, top, left + columnWidth, top + itemHeight);
    }

    void draw(CDrawContext* context) override {
        context->setFillColor(kListBack);
        context->fillRect(size);
        context->setFont(menu->getFont());
        for (long i = 0; i < menu->getNbEntries(); ++i) {
            const CRect r = itemRect(i);
            const bool lit = i == hovered;
            if (lit) {
                context->setFillColor(kListHighlight);
                context->fillRect(r);
            }
            context->setFontColor(lit ? kListHighlightText : kListText);
            if (i == menu->getCurrentIndex()) {
                context->setFillColor(lit ? kListHighlightText : kListText);
                const CPoint c(r.left + kPadding + 2, r.top + itemHeight / 2);
                context->drawEllipse(CRect(c.x - 2, c.y - 2, c.x + 2, c.y + 2), kDrawFilled);
            }
            CRect text = r;
            text.left += kPadding + kMarkWidth;
            context->drawString(menu->getEntryTitle(i), text, kLeftText);
        }
        context->setFrameColor(kListBorder);
        context->setLineWidth(1);
        context->drawRect(size);
        setDirty(false);
    }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        const long index = (buttons & kLButton) ? itemAt(where) : -1;
        if (index >= 0)
            menu->selectEntry(index);
        else if (!size.pointInside(where))
            menu->closeMenu();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override {
        setHovered(itemAt(where));
        return kMouseEventHandled;
    }

    CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override {
        return kMouseEventHandled;
    }

    bool onWheel(const CPoint&, const CMouseWheelAxis&, const float&,
                 const CButtonState&) override {
        return true;
    }

    std::int32_t onKeyDown(VstKeyCode& key) override {
        const long n = menu->getNbEntries();
        switch (key.virt) {
            case VKEY_ESCAPE:
                menu->closeMenu();
                return 1;
            case VKEY_RETURN:
            case VKEY_ENTER:
                if (hovered >= 0 && hovered < n)
                    menu->selectEntry(hovered);
                else
                    menu->closeMenu();
                return 1;
            case VKEY_UP:
                setHovered(std::max(0L, hovered - 1));
                return 1;
            case VKEY_DOWN:
                setHovered(std::min(n - 1, hovered + 1));
                return 1;
            case VKEY_LEFT:
                setHovered(std::max(0L, hovered - perColumn));
                return 1;
            case VKEY_RIGHT:
                setHovered(hovered + perColumn < n ? hovered + perColumn : hovered);
                return 1;
            default:
                return 1;  // the list keeps the keyboard while open
        }
    }

    std::int32_t onKeyUp(VstKeyCode&) override { return 1; }

    // The user went to another window: the list closes unchanged.
    void looseFocus() override { menu->closeMenu(); }

  private:
    void setHovered(long index) {
        if (index == hovered) return;
        if (hovered >= 0) invalidRect(itemRect(hovered));
        hovered = index;
        if (hovered >= 0) invalidRect(itemRect(hovered));
    }

    COptionMenu* menu;
    long perColumn = 1, columns = 1, rows = 1;
    CCoord itemHeight = 16, columnWidth = 60;
    long hovered = -1;
};

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, long tag,
                         CBitmap* background, CBitmap* backgroundWhenOpen, long style)
    : CControl(size, listener, tag, background),
      style(style),
      backgroundWhenOpen(backgroundWhenOpen) {
    if (backgroundWhenOpen) backgroundWhenOpen->remember();
    setMin(0);
    setMax(0);
    setDefaultValue(0);
}

COptionMenu::~COptionMenu() {
    closeMenu();
    if (popup) popup->forget();
    if (backgroundWhenOpen) backgroundWhenOpen->forget();
}

bool COptionMenu::addEntry(const char* title, long index) {
    const std::string t = title ? title : "";
    if (index < 0 || index >= getNbEntries())
        entries.push_back(t);
    else
        entries.insert(entries.begin() + index, t);
    setMax(static_cast<float>(std::max(0L, getNbEntries() - 1)));
    return true;
}

bool COptionMenu::setEntry(long index, const char* title) {
    if (index < 0 || index >= getNbEntries()) return false;
    entries[static_cast<size_t>(index)] = title ? title : "";
    setDirty(true);
    return true;
}

bool COptionMenu::getEntry(long index, char* title) const {
    if (!title) return false;
    *title = 0;
    if (index < 0 || index >= getNbEntries()) return false;
    std::strcpy(title, entries[static_cast<size_t>(index)].c_str());
    return true;
}

const char* COptionMenu::getEntryTitle(long index) const {
    if (index < 0 || index >= getNbEntries()) return "";
    return entries[static_cast<size_t>(index)].c_str();
}

bool COptionMenu::removeEntry(long index) {
    if (index < 0 || index >= getNbEntries()) return false;
    entries.erase(entries.begin() + index);
    if (current >= getNbEntries()) current = getNbEntries() - 1;
    setMax(static_cast<float>(std::max(0L, getNbEntries() - 1)));
    return true;
}

void COptionMenu::removeAllEntry() {
    closeMenu();
    entries.clear();
    current = -1;
    setMax(0);
}

bool COptionMenu::setCurrent(long index) {
    if (index < 0 || index >= getNbEntries()) return false;
    current = index;
    setValue(static_cast<float>(index));
    setDirty(true);
    return true;
}

bool COptionMenu::isMenuOpen() const {
    return popup && getFrame() && getFrame()->getModalView() == popup;
}

void COptionMenu::openMenu() {
    CFrame* frame = getFrame();
    if (!frame || entries.empty() || isMenuOpen()) return;
    if (!popup) popup = new COptionMenuPopup(this);
    popup->attached(nullptr, frame);
    popup->layout(frame);
    frame->setModalView(popup);
    frame->setFocusView(popup);
    popup->invalid();
    setDirty(true);
}

void COptionMenu::closeMenu() {
    CFrame* frame = getFrame();
    if (!popup || !frame) return;
    if (frame->getFocusView() == popup) frame->setFocusView(nullptr);
    if (frame->getModalView() == popup) {
        popup->invalid();
        frame->setModalView(nullptr);
    }
    setDirty(true);
}

void COptionMenu::selectEntry(long index) {
    closeMenu();
    if (index < 0 || index >= getNbEntries()) return;
    setCurrent(index);
    beginEdit();
    valueChanged();
    endEdit();
}

void COptionMenu::removed() {
    closeMenu();
    CControl::removed();
}

void COptionMenu::draw(CDrawContext* context) {
    CBitmap* image = isMenuOpen() && backgroundWhenOpen ? backgroundWhenOpen : background;
    if (image) {
        image->draw(context, size, backOffset);
    }
    if (style & kMenuShowTitle) {
        context->setFont(font);
        context->setFontColor(fontColor);
        context->drawString(getEntryTitle(current), size, kLeftText);
    } else if (!image || !image->isLoaded()) {
        context->setFont(font);
        context->setFontColor(fontColor);
        context->drawString("\u25BE", size, kCenterText);  // a small down arrow
    }
    setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    openMenu();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::onWheel(const CPoint&, const float&, const CButtonState&) {
    return false;
}
