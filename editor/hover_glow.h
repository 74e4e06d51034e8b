// A control with a glow drawn over it while the mouse is inside: the
// oversampling, backlit and automatic-black buttons. User-interface thread only.
#pragma once

#include <utility>

#include "editor/bitmap_ref.h"
#include "gui/CControl.h"

namespace kt::ui {

template <class Control>
class HoverGlow : public Control {
  public:
    // The glow bitmap is retained; the other arguments go to the control.
    template <class... ControlArgs>
    explicit HoverGlow(CBitmap* glow, ControlArgs&&... args)
        : Control(std::forward<ControlArgs>(args)...), glow(glow) {}

    CMouseEventResult onMouseEntered(CPoint&, const CButtonState&) override {
        hover = true;
        this->setDirty();
        return kMouseEventHandled;
    }

    CMouseEventResult onMouseExited(CPoint&, const CButtonState&) override {
        hover = false;
        this->setDirty();
        return kMouseEventHandled;
    }

  protected:
    // Over the whole view, after the control's own image.
    void drawGlow(CDrawContext* context) const {
        if (hover) glow.draw(context, this->size);
    }

  private:
    bool hover = false;
    BitmapRef glow;
};

}  // namespace kt::ui
