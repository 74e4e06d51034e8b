#include "platform/offscreen_frame.h"

#include <cairo.h>

namespace kt {

OffscreenFrame::OffscreenFrame(int width, int height)
    : image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {}

OffscreenFrame::~OffscreenFrame() {
    cairo_surface_destroy(image);
}

void OffscreenFrame::present(int x, int y, int width, int height) {
    ++presentCount;
    lastPresent[0] = x, lastPresent[1] = y, lastPresent[2] = width, lastPresent[3] = height;
}

void OffscreenFrame::queryPointer(double& x, double& y, std::int32_t& buttons) {
    x = pointerX, y = pointerY, buttons = pointerButtons;
}

bool OffscreenFrame::screenPosition(int& x, int& y) {
    x = y = 0;
    return true;
}

void OffscreenFrame::setPointer(double x, double y, std::int32_t buttons) {
    pointerX = x, pointerY = y, pointerButtons = buttons;
}

std::unique_ptr<PlatformFrame> createOffscreenFrame(int width, int height, PlatformFrameClient*) {
    return std::make_unique<OffscreenFrame>(width, height);
}

}  // namespace kt
