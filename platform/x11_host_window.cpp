#include "platform/x11_host_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <cstdint>

#include "platform/x11_error_trap.h"

namespace kt {

struct X11HostWindow::Impl {
    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = 0;
    int width = 0, height = 0;
    bool closed = false;
};

namespace {

// Position of the lowest set bit and the width of a colour mask.
void maskShape(unsigned long mask, int& shift, int& bits) {
    shift = 0, bits = 0;
    if (!mask) return;
    while (!(mask & 1)) mask >>= 1, ++shift;
    while (mask & 1) mask >>= 1, ++bits;
}

std::uint32_t channel(unsigned long pixel, unsigned long mask) {
    int shift, bits;
    maskShape(mask, shift, bits);
    if (bits == 0) return 0;
    const unsigned long v = (pixel & mask) >> shift;
    const unsigned long max = (1ul << bits) - 1;
    return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
}

}  // namespace

X11HostWindow::X11HostWindow(std::unique_ptr<Impl> i) : impl(std::move(i)) {}

std::unique_ptr<X11HostWindow> X11HostWindow::create(int width, int height, const char* title,
                                                     bool argb) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    registerOwnDisplay(display);
    auto impl = std::make_unique<Impl>();
    impl->display = display;
    impl->width = width, impl->height = height;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    if (argb) {
        XVisualInfo info;
        if (!XMatchVisualInfo(display, screen, 32, TrueColor, &info)) {
            closeOwnDisplay(display);
            return nullptr;
        }
        XSetWindowAttributes attributes{};
        attributes.colormap = XCreateColormap(display, root, info.visual, AllocNone);
        attributes.background_pixel = 0;
        attributes.border_pixel = 0;
        impl->window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width),
                                     static_cast<unsigned>(height), 0, 32, InputOutput, info.visual,
                                     CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    } else {
        impl->window = XCreateSimpleWindow(
            display, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
            BlackPixel(display, screen), BlackPixel(display, screen));
    }
    XStoreName(display, impl->window, title ? title : "");
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, impl->window, &hints);
    impl->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, impl->window, &impl->deleteWindow, 1);
    XSelectInput(display, impl->window, StructureNotifyMask);
    XMapWindow(display, impl->window);
    // Wait until the window is shown, so the editor opens into a visible window.
    for (XEvent e;;) {
        XNextEvent(display, &e);
        if (e.type == MapNotify && e.xmap.window == impl->window) break;
    }
    return std::unique_ptr<X11HostWindow>(new X11HostWindow(std::move(impl)));
}

X11HostWindow::~X11HostWindow() {
    destroyWindow();
    closeOwnDisplay(impl->display);
}

void* X11HostWindow::windowId() const {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(impl->window));
}

bool X11HostWindow::pumpEvents() {
    while (XPending(impl->display) > 0) {
        XEvent e;
        XNextEvent(impl->display, &e);
        if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == impl->deleteWindow)
            impl->closed = true;
        if (e.type == DestroyNotify && e.xdestroywindow.window == impl->window) impl->closed = true;
    }
    return !impl->closed && impl->window != 0;
}

void X11HostWindow::destroyWindow() {
    if (!impl->window) return;
    X11ErrorTrap trap(impl->display);
    XDestroyWindow(impl->display, impl->window);
    impl->window = 0;
    impl->closed = true;
}

bool X11HostWindow::saveScreenshot(const char* pngPath) {
    if (!impl->window) return false;
    X11ErrorTrap trap(impl->display);
    XSync(impl->display, False);
    XImage* image = XGetImage(impl->display, impl->window, 0, 0, static_cast<unsigned>(impl->width),
                              static_cast<unsigned>(impl->height), AllPlanes, ZPixmap);
    if (!image) return false;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, impl->width, impl->height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < impl->height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < impl->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            row[x] = (channel(p, image->red_mask) << 16) | (channel(p, image->green_mask) << 8) |
                     channel(p, image->blue_mask);
        }
    }
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    const bool ok = cairo_surface_write_to_png(surface, pngPath) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace kt
