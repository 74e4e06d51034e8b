// A drop-down menu: a click opens the list of its entries above the other views,
// in columns of a set number of items; clicking an entry selects it (the value
// becomes its index and the listener is told); Escape or a click outside the
// list closes it unchanged.
#pragma once

#include <string>
#include <vector>

#include "gui/CControl.h"

class COptionMenuPopup;

enum COptionMenuStyle {
    kMenuShowTitle = 1 << 0,  // draw the current entry's title in the view
};

class COptionMenu : public CControl {
  public:
    COptionMenu(const CRect& size, CControlListener* listener, long tag,
                CBitmap* background = nullptr, CBitmap* backgroundWhenOpen = nullptr,
                long style = 0);

    bool addEntry(const char* title, long index = -1);
    bool setEntry(long index, const char* title);
    bool getEntry(long index, char* title) const;  // copies the title, terminated
    const char* getEntryTitle(long index) const;
    bool removeEntry(long index);
    void removeAllEntry();
    long getNbEntries() const { return static_cast<long>(entries.size()); }

    // The selected entry; setCurrent also sets the value to the index.
    bool setCurrent(long index);
    long getCurrentIndex() const { return current; }
    long getCurrent() const { return current; }

    void setNbItemsPerColumn(long n) { itemsPerColumn = n; }
    long getNbItemsPerColumn() const { return itemsPerColumn; }
    void setBackOffset(const CPoint& p) { backOffset = p; }
    void setFont(CFontRef f) { font = f ? f : kNormalFontSmaller; }
    CFontRef getFont() const { return font; }
    void setFontColor(const CColor& c) { fontColor = c; }

    // Opens and closes the list (the user's click does the same).
    void openMenu();
    void closeMenu();
    bool isMenuOpen() const;

    // Called by the open list when the user picks an entry.
    void selectEntry(long index);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    void removed() override;

  protected:
    ~COptionMenu() override;

  private:
    std::vector<std::string> entries;
    long current = -1;
    long itemsPerColumn = 0;  // 0: one column
    long style;
    CBitmap* backgroundWhenOpen;
    CPoint backOffset;
    CFontRef font = kNormalFontSmaller;
    CColor fontColor = kBlackCColor;
    COptionMenuPopup* popup = nullptr;
};
