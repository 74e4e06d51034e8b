#include "gui/CView.h"

#include <algorithm>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

CView::CView(const CRect& size) : size(size) {}

CView::~CView() {
    if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
    if (background) background->draw(context, size, CPoint(0, 0));
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) {
    draw(context);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}

bool CView::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                    const CButtonState& buttons) {
    return axis == kMouseWheelAxisY && onWheel(where, distance, buttons);
}

bool CView::onWheel(const CPoint&, const float&, const CButtonState&) {
    return false;
}

std::int32_t CView::onKeyDown(VstKeyCode&) {
    return -1;
}
std::int32_t CView::onKeyUp(VstKeyCode&) {
    return -1;
}

void CView::invalid() {
    setDirty(false);
    invalidRect(size);
}

void CView::invalidRect(const CRect& rect) {
    if (!frame || !visible) return;
    CRect r = rect;
    if (parent && parent != frame) {
        CPoint origin = r.getTopLeft();
        parent->localToFrame(origin);
        r.moveTo(origin.x, origin.y);
    }
    frame->invalidRect(r);
}

void CView::setViewSize(const CRect& newSize, bool invalidate) {
    if (invalidate) invalid();
    size = newSize;
    if (invalidate) invalid();
}

bool CView::hitTest(const CPoint& where, const CButtonState&) {
    return size.pointInside(where);
}

void CView::setVisible(bool state) {
    if (visible == state) return;
    if (!state) invalid();
    visible = state;
    if (state) invalid();
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (background) background->forget();
    background = bitmap;
    setDirty(true);
}

VSTGUIEditorInterface* CView::getEditor() const {
    return frame ? frame->getEditor() : nullptr;
}

CPoint& CView::localToFrame(CPoint& p) const {
    // A container's children live in its coordinates; the frame's origin is (0, 0).
    for (const CView* v = this; v && v != frame; v = v->parent) {
        if (v->isContainer()) p.offset(v->size.left, v->size.top);
    }
    return p;
}

CPoint& CView::frameToLocal(CPoint& p) const {
    CPoint shift;
    localToFrame(shift);
    return p.offset(-shift.x, -shift.y);
}

void CView::attached(CViewContainer* newParent, CFrame* newFrame) {
    parent = newParent;
    frame = newFrame;
    setDirty(true);
}

void CView::removed() {
    if (frame) frame->viewRemoved(this);
    parent = nullptr;
    frame = nullptr;
}

// ---- CViewContainer

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
    removeAll(true);
}

void CViewContainer::addView(CView* view) {
    if (!view || isChild(view)) return;
    children.push_back(view);
    view->attached(this, getFrame());
    view->invalid();
}

void CViewContainer::removeView(CView* view, bool withForget) {
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return;
    view->invalid();
    children.erase(it);
    viewWillGo(view);
    view->removed();
    if (withForget) view->forget();
}

void CViewContainer::removeAll(bool withForget) {
    while (!children.empty()) removeView(children.back(), withForget);
}

CView* CViewContainer::getView(int index) const {
    return index >= 0 && index < getNbViews() ? children[static_cast<size_t>(index)] : nullptr;
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getViewAt(const CPoint& where, const CButtonState& buttons) const {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* v = *it;
        if (v->isVisible() && v->getMouseEnabled() && v->hitTest(where, buttons)) return v;
    }
    return nullptr;
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect) {
    CRect update = updateRect;
    update.bound(size);
    if (backgroundColor.alpha > 0) {
        context->setFillColor(backgroundColor);
        context->fillRect(update);
    }
    if (background) {
        background->draw(context, update, CPoint(update.left - size.left, update.top - size.top));
    }
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    CRect update = updateRect;
    update.bound(size);
    drawBackgroundRect(context, update);
    const CPoint oldOffset = context->getOffset();
    context->setOffset(CPoint(oldOffset.x + size.left, oldOffset.y + size.top));
    update.offset(-size.left, -size.top);
    drawChildren(context, update);
    context->setOffset(oldOffset);
    CView::setDirty(false);
}

void CViewContainer::drawChildren(CDrawContext* context, const CRect& updateRect,
                                  const CView* skip) {
    CRect oldClip;
    context->getClipRect(oldClip);
    const CPoint offset = context->getOffset();
    for (CView* child : children) {
        if (!child->isVisible() || child == skip) continue;
        const CRect& r = child->getViewSize();
        if (!r.rectOverlap(updateRect)) continue;
        CRect childUpdate = r;
        childUpdate.bound(updateRect);
        CRect clip = childUpdate;
        clip.offset(offset.x, offset.y);
        clip.bound(oldClip);
        if (clip.isEmpty()) continue;
        context->setClipRect(clip);
        child->drawRect(context, childUpdate);
    }
    context->setClipRect(oldClip);
}

bool CViewContainer::isDirty() const {
    if (CView::isDirty()) return true;
    return std::any_of(children.begin(), children.end(),
                       [](const CView* v) { return v->isVisible() && v->isDirty(); });
}

void CViewContainer::invalidateDirtyViews() {
    if (!isVisible()) return;
    if (CView::isDirty()) {
        invalid();
        return;
    }
    for (CView* v : children) {
        if (!v->isVisible() || !v->isDirty()) continue;
        if (v->isContainer())
            static_cast<CViewContainer*>(v)->invalidateDirtyViews();
        else
            v->invalid();
    }
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
    CPoint local(where.x - size.left, where.y - size.top);
    if (mouseDownView) {  // a second button during a drag goes to the dragging view
        return mouseDownView->onMouseDown(local, buttons);
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisible() || !v->getMouseEnabled() || !v->hitTest(local, buttons)) continue;
        CPoint p = local;
        const CMouseEventResult result = v->onMouseDown(p, buttons);
        if (result == kMouseEventNotHandled || result == kMouseEventNotImplemented) continue;
        if (result == kMouseEventHandled) mouseDownView = v;
        return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
    CPoint local(where.x - size.left, where.y - size.top);
    if (!mouseDownView) return kMouseEventNotHandled;
    CView* v = mouseDownView;
    CPoint p = local;
    const CMouseEventResult result = v->onMouseUp(p, buttons);
    mouseDownView = nullptr;
    updateHover(local, buttons & ~(kLButton | kMButton | kRButton));
    return result;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    CPoint local(where.x - size.left, where.y - size.top);
    if (mouseDownView) {
        CPoint p = local;
        return mouseDownView->onMouseMoved(p, buttons);
    }
    updateHover(local, buttons);
    if (!mouseOverView) return kMouseEventNotHandled;
    CPoint p = local;
    return mouseOverView->onMouseMoved(p, buttons);
}

CMouseEventResult CViewContainer::onMouseExited(CPoint&, const CButtonState& buttons) {
    if (!mouseDownView) clearHover(buttons);
    return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis,
                             const float& distance, const CButtonState& buttons) {
    const CPoint local(where.x - size.left, where.y - size.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisible() || !v->getMouseEnabled() || !v->hitTest(local, buttons)) continue;
        if (v->onWheel(local, axis, distance, buttons)) return true;
    }
    return false;
}

void CViewContainer::updateHover(CPoint& local, const CButtonState& buttons) {
    CView* v = getViewAt(local, buttons);
    if (v == mouseOverView) return;
    if (mouseOverView) {
        CPoint p = local;
        mouseOverView->onMouseExited(p, buttons);
    }
    mouseOverView = v;
    if (v) {
        CPoint p = local;
        v->onMouseEntered(p, buttons);
    }
}

void CViewContainer::clearHover(const CButtonState& buttons) {
    if (!mouseOverView) return;
    CView* v = mouseOverView;
    mouseOverView = nullptr;
    CPoint p;
    v->onMouseExited(p, buttons);
}

void CViewContainer::viewWillGo(CView* view) {
    if (mouseDownView == view) mouseDownView = nullptr;
    if (mouseOverView == view) mouseOverView = nullptr;
}

void CViewContainer::attached(CViewContainer* newParent, CFrame* newFrame) {
    CView::attached(newParent, newFrame);
    for (CView* v : children) v->attached(this, newFrame);
}

void CViewContainer::removed() {
    for (CView* v : children) v->removed();
    CView::removed();
}
