#include "editor/MyFrame.h"

void MyFrame::closeModal() {
    modalView = nullptr;
    invalidRect(getViewSize());
}

CMouseEventResult MyFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (modalView) return modalView->onMouseDown(where, buttons);
    return CFrame::onMouseDown(where, buttons);
}

CMouseEventResult MyFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    if (modalView) return modalView->onMouseUp(where, buttons);
    return CFrame::onMouseUp(where, buttons);
}

CMouseEventResult MyFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (modalView) return modalView->onMouseMoved(where, buttons);
    return CFrame::onMouseMoved(where, buttons);
}

bool MyFrame::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                      const CButtonState& buttons) {
    if (modalView) return modalView->onWheel(where, axis, distance, buttons);
    return CFrame::onWheel(where, axis, distance, buttons);
}

void MyFrame::idle() {
    if (modalView) setDirty(true);  // the panel is redrawn with everything on every pass
    CFrame::idle();
}

void MyFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (!context || updateRect.width() <= 0 || updateRect.height() <= 0) return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = updateRect;
    clip.bound(oldClip);
    context->setClipRect(clip);
    drawBackgroundRect(context, clip);
    drawChildren(context, clip, modalView);
    // The modal view may have given up its own rectangle; it draws where it likes.
    if (modalView) modalView->drawRect(context, clip);
    if (CView* menu = getModalView()) menu->drawRect(context, clip);
    context->setClipRect(oldClip);
    CView::setDirty(false);
}

void MyFrame::viewWillGo(CView* view) {
    if (modalView == view) modalView = nullptr;
    CFrame::viewWillGo(view);
}
