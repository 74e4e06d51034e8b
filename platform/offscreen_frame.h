// A frame without a window: drawing goes to an image surface and nothing is
// shown. Tests feed input straight to the frame and read the image back.
#pragma once

#include "platform/platform_frame.h"

namespace kt {

class OffscreenFrame : public PlatformFrame {
  public:
    OffscreenFrame(int width, int height);
    ~OffscreenFrame() override;

    cairo_surface_t* backBuffer() override { return image; }
    void present(int x, int y, int width, int height) override;
    void pumpEvents(int) override {}
    void queryPointer(double& x, double& y, std::int32_t& buttons) override;
    void takeFocus() override { focused = true; }
    void releaseFocus() override { focused = false; }
    bool screenPosition(int& x, int& y) override;
    bool isAlive() override { return true; }

    // What the tests set and look at.
    void setPointer(double x, double y, std::int32_t buttons);
    int presentCount = 0;
    int lastPresent[4] = {0, 0, 0, 0};  // x, y, width, height
    bool focused = false;

  private:
    cairo_surface_t* image;
    double pointerX = 0, pointerY = 0;
    std::int32_t pointerButtons = 0;
};

}  // namespace kt
