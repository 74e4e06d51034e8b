// A top-level X11 window that plays the host's part: the window an editor opens
// into, for the command-line host and the editor tests. Used from one thread.
#pragma once

#include <memory>

namespace kt {

class X11HostWindow {
  public:
    // Null when there is no display (or, with argb, no 32-bit visual with alpha,
    // which some hosts give the editor's parent).
    static std::unique_ptr<X11HostWindow> create(int width, int height, const char* title,
                                                 bool argb = false);
    ~X11HostWindow();

    // The window id as an editor's open receives it.
    void* windowId() const;
    // Handles pending events; false once the window's close button was pressed
    // or the window is gone.
    bool pumpEvents();
    // Writes what the window shows (with the editor inside) as a PNG file.
    bool saveScreenshot(const char* pngPath);
    // Destroys the window at once, as a host may do before it closes the editor.
    void destroyWindow();

    // Input as the X server delivers it to the editor's window (the first child
    // of this window), sent with XSendEvent; for tests of the event handling.
    // Modifiers and held buttons use the kPlatform* flags; times are the
    // server's milliseconds. False when there is no child window.
    enum class Crossing { enter, leave, leaveForGrab };
    bool sendButton(int x, int y, int button, bool press, unsigned long timeMs, int modifiers = 0);
    bool sendMotion(int x, int y, int held);
    bool sendCrossing(Crossing kind, int x, int y);
    bool sendKey(const char* keyName, bool press, int modifiers = 0);
    // Gives the keyboard focus to this window, as window managers and toolkits
    // do when the user clicks inside it; moves the real pointer to (x, y) of
    // this window.
    void takeFocus();
    void warpPointer(int x, int y);
    void flush();

    struct Impl;

  private:
    explicit X11HostWindow(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl;
};

}  // namespace kt
