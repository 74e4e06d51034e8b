// Views of the editor: a rectangle that draws itself and may take mouse, wheel
// and key input. Sizes are in the coordinates of the parent container (the
// frame's pixels for views placed directly in the frame). All view operations
// run on the user-interface thread, except setDirty, which any thread may call.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "gui/CBaseObject.h"
#include "gui/CDrawContext.h"
#include "platform/platform_frame.h"
#include "vst/vst_abi.h"
#include "vst/vst_keys.h"

class CBitmap;
class CFrame;
class CViewContainer;
class VSTGUIEditorInterface;

using VstKeyCode = vst::VstKeyCode;

// Mouse buttons and modifiers held during an event. The frame hands on the
// window's flags unchanged, so these take the platform's values; the frame
// adds kDoubleClick.
enum CButton : std::int32_t {
    kLButton = kt::kPlatformLeftButton,
    kMButton = kt::kPlatformMiddleButton,
    kRButton = kt::kPlatformRightButton,
    kShift = kt::kPlatformShift,
    kControl = kt::kPlatformControl,
    kAlt = kt::kPlatformAlt,
    kApple = 1 << 7,
    kDoubleClick = 1 << 10,
};
using CButtonState = std::int32_t;

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,  // on mouse down: a drag begins, moves and the up follow
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

class CView : public CBaseObject {
  public:
    explicit CView(const CRect& size);

    // Draws the whole view; every draw ends by clearing the dirty flag.
    virtual void draw(CDrawContext* context);
    // Draws the part of the view inside updateRect (the whole view by default).
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);

    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    // distance: notches, positive up (or right). Answer true when used.
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const CButtonState& buttons);
    virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
    // The frame's focus view gains or loses the keyboard.
    virtual void takeFocus() {}
    virtual void looseFocus() {}
    // Key results: 1 used, -1 not used.
    virtual std::int32_t onKeyDown(VstKeyCode& key);
    virtual std::int32_t onKeyUp(VstKeyCode& key);

    // Dirty views are redrawn on the frame's next idle pass.
    virtual void setDirty(bool state = true) { dirty.store(state, std::memory_order_relaxed); }
    virtual bool isDirty() const { return dirty.load(std::memory_order_relaxed); }
    // Asks for the view's area to be redrawn on the next pass.
    virtual void invalid();
    void invalidRect(const CRect& rect);

    const CRect& getViewSize() const { return size; }
    CRect& getViewSize(CRect& r) const { return r = size; }
    virtual void setViewSize(const CRect& newSize, bool invalidate = true);
    CCoord getWidth() const { return size.width(); }
    CCoord getHeight() const { return size.height(); }
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons);

    void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    void setVisible(bool state);
    bool isVisible() const { return visible; }

    // The background bitmap, remembered by the view.
    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    CFrame* getFrame() const { return frame; }
    CViewContainer* getParentView() const { return parent; }
    VSTGUIEditorInterface* getEditor() const;
    // Converts between this view's coordinates and the frame's.
    CPoint& localToFrame(CPoint& p) const;
    CPoint& frameToLocal(CPoint& p) const;
    virtual bool isContainer() const { return false; }

    // Called by the container when the view is added to and taken out of a frame.
    virtual void attached(CViewContainer* newParent, CFrame* newFrame);
    virtual void removed();

  protected:
    ~CView() override;

    CRect size;
    CBitmap* background = nullptr;

  private:
    std::atomic<bool> dirty{true};
    bool mouseEnabled = true;
    bool visible = true;
    CFrame* frame = nullptr;
    CViewContainer* parent = nullptr;
};

// A view that holds other views and passes input on to them. It owns its
// views: removing one forgets it unless the caller asks otherwise.
class CViewContainer : public CView {
  public:
    explicit CViewContainer(const CRect& size);

    virtual void addView(CView* view);
    virtual void removeView(CView* view, bool withForget = true);
    virtual void removeAll(bool withForget = true);
    int getNbViews() const { return static_cast<int>(children.size()); }
    CView* getView(int index) const;
    bool isChild(const CView* view) const;
    // The topmost visible, mouse-enabled view under `where` (container coordinates).
    CView* getViewAt(const CPoint& where, const CButtonState& buttons = 0) const;

    void setBackgroundColor(const CColor& color) {
        backgroundColor = color;
        setDirty(true);
    }
    CColor getBackgroundColor() const { return backgroundColor; }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    // Fills updateRect (parent coordinates) with the background colour and bitmap.
    void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);
    // Draws the children inside updateRect (container coordinates), each clipped to itself.
    void drawChildren(CDrawContext* context, const CRect& updateRect, const CView* skip = nullptr);
    // Marks every dirty view inside for redrawing.
    void invalidateDirtyViews();

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    bool isContainer() const override { return true; }
    bool isDirty() const override;

    void attached(CViewContainer* newParent, CFrame* newFrame) override;
    void removed() override;

    CView* getMouseDownView() const { return mouseDownView; }
    CView* getMouseOverView() const { return mouseOverView; }

  protected:
    ~CViewContainer() override;
    // Sends entered / exited when the view under the mouse changes.
    void updateHover(CPoint& where, const CButtonState& buttons);
    void clearHover(const CButtonState& buttons);
    // Forgets every reference to a view that leaves the tree.
    virtual void viewWillGo(CView* view);

    std::vector<CView*> children;
    CView* mouseDownView = nullptr;  // the view holding the mouse during a drag
    CView* mouseOverView = nullptr;
    CColor backgroundColor = kTransparentCColor;
};
