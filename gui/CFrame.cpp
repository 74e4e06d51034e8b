#include "gui/CFrame.h"

#include <algorithm>
#include <cmath>

#include "platform/child_process.h"

namespace {

// The frame's own colour under a background bitmap that failed to load.
constexpr CColor kFrameBackColor{48, 52, 58, 255};

CRect wholePixels(const CRect& r) {
    return CRect(std::floor(r.left), std::floor(r.top), std::ceil(r.right), std::ceil(r.bottom));
}

}  // namespace

CFrame::CFrame(const CRect& size, VSTGUIEditorInterface* editor)
    : CViewContainer(size), editor(editor) {
    setBackgroundColor(kFrameBackColor);
    CViewContainer::attached(nullptr, this);
}

// The modal view goes before the focus view, so that a view losing the keyboard
// can tell the frame closing from the user moving to another window.
CFrame::~CFrame() {
    setModalView(nullptr);
    setFocusView(nullptr);
    removeAll(true);
    closePlatform();
}

bool CFrame::open(void* parentWindow) {
    auto p = kt::createX11Frame(parentWindow, static_cast<int>(size.width()),
                                static_cast<int>(size.height()), this);
    if (!p) return false;
    open(std::move(p));
    return true;
}

void CFrame::open(std::unique_ptr<kt::PlatformFrame> newPlatform) {
    closePlatform();
    platform = std::move(newPlatform);
    // Draw at once, so the window's first expose already shows the background.
    invalidRect(size);
    redrawInvalid();
}

void CFrame::closePlatform() {
    const auto tasks = std::move(idleTasks);
    idleTasks.clear();
    for (CIdleTask* task : tasks) task->onFrameClosed();
    if (focusView) setFocusView(nullptr);
    platform.reset();
}

void CFrame::close() {
    setModalView(nullptr);
    setFocusView(nullptr);
    removeAll(true);
    closePlatform();
    forget();
}

void CFrame::idle() {
    if (!platform) return;
    pumpEvents(0);
    const auto tasks = idleTasks;
    for (CIdleTask* task : tasks) {
        if (std::find(idleTasks.begin(), idleTasks.end(), task) != idleTasks.end()) task->onIdle();
    }
    kt::reapAdoptedChildren();
    invalidateDirtyViews();
    redrawInvalid();
}

void CFrame::pumpEvents(int maxWaitMs) {
    if (platform) platform->pumpEvents(maxWaitMs);
}

void CFrame::invalidRect(const CRect& rect) {
    CRect r = rect;
    r.bound(size);
    pendingRect.unite(r);
}

void CFrame::redrawInvalid() {
    if (!platform || pendingRect.isEmpty()) return;
    const CRect r = wholePixels(pendingRect);
    pendingRect = CRect();
    {
        CDrawContext context(platform->backBuffer());
        drawRect(&context, r);
    }
    platform->present(static_cast<int>(r.left), static_cast<int>(r.top),
                      static_cast<int>(r.width()), static_cast<int>(r.height()));
}

void CFrame::drawAll(CDrawContext* context, const CRect& updateRect) {
    drawRect(context, updateRect);
    if (platform) {
        const CRect r = wholePixels(CRect(updateRect).bound(size));
        platform->present(static_cast<int>(r.left), static_cast<int>(r.top),
                          static_cast<int>(r.width()), static_cast<int>(r.height()));
    }
}

std::unique_ptr<CDrawContext> CFrame::createDrawContext() {
    if (!platform) return nullptr;
    return std::make_unique<CDrawContext>(platform->backBuffer());
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (!context || updateRect.isEmpty()) return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = updateRect;
    clip.bound(oldClip);
    context->setClipRect(clip);
    CViewContainer::drawRect(context, clip);
    if (modalView) modalView->drawRect(context, clip);
    context->setClipRect(oldClip);
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (modalView) return modalView->onMouseDown(where, buttons);
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    if (modalView) return modalView->onMouseUp(where, buttons);
    const CMouseEventResult result = CViewContainer::onMouseUp(where, buttons);
    // The pointer may have left the window during the drag: the exit held back then.
    if (!pointerInside && !mouseDownView) clearHover(buttons);
    return result;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (modalView) return modalView->onMouseMoved(where, buttons);
    return CViewContainer::onMouseMoved(where, buttons);
}

bool CFrame::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                     const CButtonState& buttons) {
    if (modalView) return modalView->onWheel(where, axis, distance, buttons);
    return CViewContainer::onWheel(where, axis, distance, buttons);
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    return onWheel(where, kMouseWheelAxisY, distance, buttons);
}

std::int32_t CFrame::onKeyDown(VstKeyCode& key) {
    if (modalView) return modalView->onKeyDown(key);
    if (focusView) return focusView->onKeyDown(key);
    return -1;
}

std::int32_t CFrame::onKeyUp(VstKeyCode& key) {
    if (modalView) return modalView->onKeyUp(key);
    if (focusView) return focusView->onKeyUp(key);
    return -1;
}

bool CFrame::getCurrentMouseLocation(CPoint& where) {
    if (!platform) return false;
    CButtonState buttons = 0;
    platform->queryPointer(where.x, where.y, buttons);
    return true;
}

CButtonState CFrame::getCurrentMouseButtons() {
    if (!platform) return 0;
    CPoint where;
    CButtonState buttons = 0;
    platform->queryPointer(where.x, where.y, buttons);
    return buttons;
}

void CFrame::setModalView(CView* view) {
    if (modalView == view) return;
    if (modalView) invalidRect(modalView->getViewSize());
    modalView = view;
    if (view) {
        // The views below lose the mouse while the modal view is up.
        if (mouseDownView) mouseDownView = nullptr;
        clearHover(0);
        invalidRect(view->getViewSize());
    }
}

void CFrame::setFocusView(CView* view) {
    if (focusView == view) return;
    CView* old = focusView;
    focusView = view;
    if (old) old->looseFocus();
    if (view) view->takeFocus();
    if (!platform || focusView != view) return;  // looseFocus may have moved it again
    if (view)
        platform->takeFocus();
    else
        platform->releaseFocus();
}

void CFrame::platformFocusLost() {
    if (!focusView) return;
    CView* old = focusView;
    focusView = nullptr;
    old->looseFocus();
}

void CFrame::addIdleTask(CIdleTask* task) {
    if (task && std::find(idleTasks.begin(), idleTasks.end(), task) == idleTasks.end())
        idleTasks.push_back(task);
}

void CFrame::removeIdleTask(CIdleTask* task) {
    idleTasks.erase(std::remove(idleTasks.begin(), idleTasks.end(), task), idleTasks.end());
}

void CFrame::viewRemoved(CView* view) {
    if (modalView == view) setModalView(nullptr);
    if (focusView == view) setFocusView(nullptr);
}

void CFrame::viewWillGo(CView* view) {
    CViewContainer::viewWillGo(view);
    viewRemoved(view);
}

void CFrame::platformMouseDown(double x, double y, std::int32_t buttons, std::uint32_t timeMs) {
    CPoint where(x, y);
    const CButtonState button = buttons & (kLButton | kMButton | kRButton);
    const bool isDouble = lastDownValid && button == lastDownButton &&
                          timeMs - lastDownTime <= kDoubleClickMs &&
                          std::fabs(x - lastDownPoint.x) <= kDoubleClickDistance &&
                          std::fabs(y - lastDownPoint.y) <= kDoubleClickDistance;
    // A third press starts a new pair rather than making a second double click.
    lastDownValid = !isDouble;
    lastDownTime = timeMs;
    lastDownButton = button;
    lastDownPoint = where;
    pointerInside = true;
    onMouseDown(where, buttons | (isDouble ? kDoubleClick : 0));
}

void CFrame::platformMouseMoved(double x, double y, std::int32_t buttons) {
    CPoint where(x, y);
    if (size.pointInside(where)) pointerInside = true;
    onMouseMoved(where, buttons);
}

void CFrame::platformMouseUp(double x, double y, std::int32_t buttons) {
    CPoint where(x, y);
    onMouseUp(where, buttons);
}

void CFrame::platformWheel(double x, double y, int axis, float distance, std::int32_t buttons) {
    onWheel(CPoint(x, y), axis == 0 ? kMouseWheelAxisY : kMouseWheelAxisX, distance, buttons);
}

void CFrame::platformMouseEntered(double x, double y) {
    pointerInside = true;
    CPoint where(x, y);
    if (!modalView && !mouseDownView) updateHover(where, 0);
}

void CFrame::platformMouseExited() {
    pointerInside = false;
    if (modalView) {  // a text field or menu may act when the pointer leaves the window
        CPoint where;
        modalView->onMouseExited(where, 0);
        return;
    }
    // During a drag the dragging view keeps the mouse; the exit waits for the release.
    if (!mouseDownView) clearHover(0);
}

bool CFrame::platformKeyDown(const vst::VstKeyCode& key) {
    VstKeyCode k = key;
    return onKeyDown(k) > 0;
}

bool CFrame::platformKeyUp(const vst::VstKeyCode& key) {
    VstKeyCode k = key;
    return onKeyUp(k) > 0;
}
