// The about panel: a small click target in the window that opens a panel over
// the lower half of the editor with the product's name, version and the
// current latency. While open it is the frame's modal view, so the next click
// anywhere closes it.
#pragma once

#include "editor/text_printer.h"
#include "gui/CControl.h"

class CInfo : public CControl {
  public:
    // background: held but never drawn (the window's own artwork shows the target).
    CInfo(const CRect& size, CBitmap* background, CBitmap* font);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    // Samples; shown on the next redraw of the panel.
    void setLatency(long samples);
    long getLatency() const { return latency; }
    bool isShown() const { return shown; }

    static inline const CRect kPanel{43, 294, 481, 430};

  private:
    CTextPrinter printer;
    bool shown = false;
    long latency = 0;
    CRect savedSize;
};
