// The editor's frame. Besides the library frame's work it can hold one modal
// view (the about panel) that receives every click in the window and is drawn
// over everything, and its idle pass redraws the whole window while that view
// is up.
#pragma once

#include "gui/CFrame.h"

class MyFrame : public CFrame {
  public:
    MyFrame(const CRect& size, VSTGUIEditorInterface* editor) : CFrame(size, editor) {}

    // The modal view is not owned (it is one of the frame's views).
    void makeModal(CView* view) { modalView = view; }
    void closeModal();
    CView* getModal() const { return modalView; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    using CFrame::onWheel;

    void idle() override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;

  protected:
    ~MyFrame() override = default;
    void viewWillGo(CView* view) override;

  private:
    CView* modalView = nullptr;
};
