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

    struct Impl;

  private:
    explicit X11HostWindow(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl;
};

}  // namespace kt
