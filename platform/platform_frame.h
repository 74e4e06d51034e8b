// The window-system side of an editor frame. The view layer draws into the back
// buffer and asks for regions to be shown; the window system reports input back
// through PlatformFrameClient. Two implementations: an X11 child window of the
// host's window, and an offscreen image for tests. Neither starts a thread: all
// calls come from the thread that opened the frame.
#pragma once

#include <cstdint>
#include <memory>

#include "vst/vst_abi.h"

typedef struct _cairo_surface cairo_surface_t;

namespace kt {

// Mouse button and modifier flags, as the view layer uses them.
enum PlatformButtons : std::int32_t {
    kPlatformLeftButton = 1 << 1,
    kPlatformMiddleButton = 1 << 2,
    kPlatformRightButton = 1 << 3,
    kPlatformShift = 1 << 4,
    kPlatformControl = 1 << 5,
    kPlatformAlt = 1 << 6,
};

// Receives the window's input; implemented by the frame.
class PlatformFrameClient {
  public:
    virtual ~PlatformFrameClient() = default;
    // timeMs is the window system's own event time, used to find double clicks.
    virtual void platformMouseDown(double x, double y, std::int32_t buttons,
                                   std::uint32_t timeMs) = 0;
    virtual void platformMouseMoved(double x, double y, std::int32_t buttons) = 0;
    virtual void platformMouseUp(double x, double y, std::int32_t buttons) = 0;
    // axis 0 vertical, 1 horizontal; distance +1 up or right per notch.
    virtual void platformWheel(double x, double y, int axis, float distance,
                               std::int32_t buttons) = 0;
    virtual void platformMouseEntered(double x, double y) = 0;
    virtual void platformMouseExited() = 0;
    // Answer true when the key was used.
    virtual bool platformKeyDown(const vst::VstKeyCode& key) = 0;
    virtual bool platformKeyUp(const vst::VstKeyCode& key) = 0;
    // The keyboard focus taken with takeFocus went elsewhere (the user clicked
    // into another window).
    virtual void platformFocusLost() {}
};

class PlatformFrame {
  public:
    virtual ~PlatformFrame() = default;
    // The offscreen image of the frame's size that all drawing goes to.
    virtual cairo_surface_t* backBuffer() = 0;
    // Copies a region of the back buffer to the screen (nothing offscreen).
    virtual void present(int x, int y, int width, int height) = 0;
    // Handles pending window events, waiting up to maxWaitMs for more. A call made
    // from inside an event handler only waits and leaves the events queued.
    virtual void pumpEvents(int maxWaitMs) = 0;
    // The pointer position in frame coordinates and the buttons and modifiers held.
    virtual void queryPointer(double& x, double& y, std::int32_t& buttons) = 0;
    // Takes the keyboard focus for text entry, and gives it back to whoever had it.
    virtual void takeFocus() = 0;
    virtual void releaseFocus() = 0;
    // The frame's top-left on the screen; false when unknown.
    virtual bool screenPosition(int& x, int& y) = 0;
    // False once the host destroyed the window under the frame.
    virtual bool isAlive() = 0;
    // The window system's id of the frame's own window (an X window id), for
    // hosts that embed it; 0 offscreen.
    virtual std::uintptr_t nativeWindow() const { return 0; }
};

// An X11 child window of `parent` (an X window id); null when there is no display,
// the parent does not exist, or the window cannot be made.
std::unique_ptr<PlatformFrame> createX11Frame(void* parent, int width, int height,
                                              PlatformFrameClient* client);

// An offscreen frame for tests: an image surface, no events of its own.
std::unique_ptr<PlatformFrame> createOffscreenFrame(int width, int height,
                                                    PlatformFrameClient* client);

}  // namespace kt
