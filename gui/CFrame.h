// The root of the view tree: the editor's window. It owns its views, turns the
// window system's input into view events, redraws what was marked dirty on each
// idle pass and shows the result. Runs on the user-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "gui/CView.h"
#include "platform/platform_frame.h"

// Work that a frame polls on each idle pass (a file dialog waiting for its answer).
class CIdleTask {
  public:
    virtual ~CIdleTask() = default;
    virtual void onIdle() = 0;
    // The frame is closing: the task ends and must not touch the frame again.
    virtual void onFrameClosed() {}
};

class CFrame : public CViewContainer, public kt::PlatformFrameClient {
  public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);

    // Opens the frame in a child window of the host's window (an X window id);
    // false when there is no display or no such window.
    bool open(void* parentWindow);
    // Opens the frame on a given platform (tests use the offscreen one).
    void open(std::unique_ptr<kt::PlatformFrame> platform);
    bool isOpen() const { return platform != nullptr; }
    kt::PlatformFrame* getPlatformFrame() const { return platform.get(); }
    // Releases the views and the window, then the frame itself.
    void close();

    // One idle pass: window events, idle tasks, then the dirty views redrawn and shown.
    virtual void idle();
    // Handles window events, waiting up to maxWaitMs (the bounded wait of a drag).
    void pumpEvents(int maxWaitMs);
    // Draws everything invalidated since the last pass and shows it.
    void redrawInvalid();
    void invalidRect(const CRect& rect);
    // Draws the whole frame now (the host's draw request).
    void drawAll(CDrawContext* context, const CRect& updateRect);
    // A drawing context on the frame's back buffer; null while closed.
    std::unique_ptr<CDrawContext> createDrawContext();

    void drawRect(CDrawContext* context, const CRect& updateRect) override;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    std::int32_t onKeyDown(VstKeyCode& key) override;
    std::int32_t onKeyUp(VstKeyCode& key) override;

    bool getCurrentMouseLocation(CPoint& where);
    CButtonState getCurrentMouseButtons();

    // A view above all others that receives all mouse and key input (an open menu).
    void setModalView(CView* view);
    CView* getModalView() const { return modalView; }
    // The view that gets key input first; keyboard focus is taken from the host
    // while one is set and given back when it is cleared. The views are told
    // with takeFocus and looseFocus, also when the user moves the focus away.
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }

    VSTGUIEditorInterface* getEditor() const { return editor; }

    void addIdleTask(CIdleTask* task);
    void removeIdleTask(CIdleTask* task);

    // Called when a view leaves the tree, so that no reference to it stays behind.
    void viewRemoved(CView* view);

    // Window-system input (kt::PlatformFrameClient).
    void platformMouseDown(double x, double y, std::int32_t buttons, std::uint32_t timeMs) override;
    void platformMouseMoved(double x, double y, std::int32_t buttons) override;
    void platformMouseUp(double x, double y, std::int32_t buttons) override;
    void platformWheel(double x, double y, int axis, float distance, std::int32_t buttons) override;
    void platformMouseEntered(double x, double y) override;
    void platformMouseExited() override;
    bool platformKeyDown(const vst::VstKeyCode& key) override;
    bool platformKeyUp(const vst::VstKeyCode& key) override;
    void platformFocusLost() override;

    // Two presses of the same button closer than this (ms, pixels) make a double click.
    static constexpr std::uint32_t kDoubleClickMs = 400;
    static constexpr CCoord kDoubleClickDistance = 4;

  protected:
    ~CFrame() override;
    void viewWillGo(CView* view) override;

  private:
    void closePlatform();

    VSTGUIEditorInterface* editor;
    std::unique_ptr<kt::PlatformFrame> platform;
    CRect pendingRect;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    std::vector<CIdleTask*> idleTasks;
    bool pointerInside = false;
    CPoint lastDownPoint;
    std::uint32_t lastDownTime = 0;
    CButtonState lastDownButton = 0;
    bool lastDownValid = false;
};
