// Offscreen frames, spies and images made on the fly for the view-layer tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/vstgui.h"
#include "platform/offscreen_frame.h"

namespace kt::test {

// Records the edit bracket and idle requests that views send to their editor.
class SpyEditor : public VSTGUIEditorInterface {
  public:
    void beginEdit(long index) override { events.push_back("begin " + std::to_string(index)); }
    void endEdit(long index) override { events.push_back("end " + std::to_string(index)); }
    void doIdleStuff() override { ++idleRequests; }
    std::vector<std::string> events;
    int idleRequests = 0;
};

class SpyListener : public CControlListener {
  public:
    void valueChanged(CControl* control) override {
        values.push_back(control->getValue());
        lastTag = control->getTag();
    }
    std::vector<float> values;
    long lastTag = -1;
};

// A frame of the given size on an offscreen platform; closed on destruction.
class TestFrame {
  public:
    TestFrame(int width, int height);
    ~TestFrame() { frame->close(); }
    CFrame* operator->() const { return frame; }
    CFrame* get() const { return frame; }
    OffscreenFrame& platform() const { return *offscreen; }

    // The pixel at (x, y) of the back buffer as 0xRRGGBB.
    std::uint32_t pixel(int x, int y) const;

    // Input as the window system delivers it.
    void down(double x, double y, std::int32_t buttons, std::uint32_t timeMs = 1000) {
        frame->platformMouseDown(x, y, buttons, timeMs);
    }
    void move(double x, double y, std::int32_t buttons = 0) {
        frame->platformMouseMoved(x, y, buttons);
    }
    void up(double x, double y, std::int32_t buttons) { frame->platformMouseUp(x, y, buttons); }

    SpyEditor editor;

  private:
    CFrame* frame;
    OffscreenFrame* offscreen;
};

// The pixel at (x, y) of an image surface as 0xRRGGBB, and its PNG bytes.
std::uint32_t pixelOf(cairo_surface_t* surface, int x, int y);
std::vector<unsigned char> pngOf(cairo_surface_t* surface);

// PNG bytes of an image of horizontal bands of bandHeight pixels in the colours given.
std::vector<unsigned char> stripedPng(int width, int bandHeight,
                                      const std::vector<std::uint32_t>& colours);

// A view that counts what happens to it and answers mouse downs as told.
class ProbeView : public CView {
  public:
    ProbeView(const CRect& size, CMouseEventResult downResult = kMouseEventHandled,
              std::uint32_t colour = 0x000000)
        : CView(size), downResult(downResult), colour(colour) {}
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        note("down", where, buttons);
        return downResult;
    }
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override {
        note("up", where, buttons);
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override {
        note("moved", where, buttons);
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseEntered(CPoint&, const CButtonState&) override {
        log.push_back("entered");
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseExited(CPoint&, const CButtonState&) override {
        log.push_back("exited");
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override {
        note(distance > 0 ? "wheel up" : "wheel down", where, buttons);
        return true;
    }
    std::int32_t onKeyDown(VstKeyCode& key) override {
        log.push_back("key " + std::to_string(key.character));
        lastKey = key;
        return 1;
    }

    std::vector<std::string> log;
    CPoint lastPoint;
    CButtonState lastButtons = 0;
    VstKeyCode lastKey{};
    int draws = 0;

  private:
    void note(const char* what, const CPoint& where, const CButtonState& buttons) {
        log.push_back(what);
        lastPoint = where;
        lastButtons = buttons;
    }
    CMouseEventResult downResult;
    std::uint32_t colour;
};

}  // namespace kt::test
