// A bitmap a view keeps besides its background: remembered while held,
// forgotten when the holder goes. A null bitmap draws nothing.
#pragma once

#include "gui/CBitmap.h"

namespace kt::ui {

class BitmapRef {
  public:
    BitmapRef() = default;
    explicit BitmapRef(CBitmap* b) : bitmap(b) {
        if (bitmap) bitmap->remember();
    }
    ~BitmapRef() {
        if (bitmap) bitmap->forget();
    }
    BitmapRef(const BitmapRef&) = delete;
    BitmapRef& operator=(const BitmapRef&) = delete;

    CBitmap* get() const { return bitmap; }
    void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint(0, 0)) const {
        if (bitmap) bitmap->draw(context, dest, offset, 1.0f);
    }

  private:
    CBitmap* bitmap = nullptr;
};

}  // namespace kt::ui
