#include "platform/x11_host_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <cstdint>

#include "platform/platform_frame.h"
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

namespace {

unsigned int stateOf(int flags) {
    unsigned int state = 0;
    if (flags & kPlatformShift) state |= ShiftMask;
    if (flags & kPlatformControl) state |= ControlMask;
    if (flags & kPlatformAlt) state |= Mod1Mask;
    if (flags & kPlatformLeftButton) state |= Button1Mask;
    if (flags & kPlatformMiddleButton) state |= Button2Mask;
    if (flags & kPlatformRightButton) state |= Button3Mask;
    return state;
}

Window firstChild(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    const Window child = count > 0 ? children[0] : 0;
    if (children) XFree(children);
    return child;
}

bool send(Display* display, Window target, long mask, XEvent& event) {
    X11ErrorTrap trap(display);
    const bool sent = XSendEvent(display, target, False, mask, &event) != 0;
    return sent && !trap.failed();
}

}  // namespace

bool X11HostWindow::sendButton(int x, int y, int button, bool press, unsigned long timeMs,
                               int modifiers) {
    const Window child = impl->window ? firstChild(impl->display, impl->window) : 0;
    if (!child) return false;
    XEvent e{};
    e.xbutton.type = press ? ButtonPress : ButtonRelease;
    e.xbutton.display = impl->display;
    e.xbutton.window = child;
    e.xbutton.root = DefaultRootWindow(impl->display);
    e.xbutton.time = timeMs;
    e.xbutton.x = x, e.xbutton.y = y;
    e.xbutton.state = stateOf(modifiers);
    e.xbutton.button = static_cast<unsigned>(button);
    e.xbutton.same_screen = True;
    return send(impl->display, child, press ? ButtonPressMask : ButtonReleaseMask, e);
}

bool X11HostWindow::sendMotion(int x, int y, int held) {
    const Window child = impl->window ? firstChild(impl->display, impl->window) : 0;
    if (!child) return false;
    XEvent e{};
    e.xmotion.type = MotionNotify;
    e.xmotion.display = impl->display;
    e.xmotion.window = child;
    e.xmotion.root = DefaultRootWindow(impl->display);
    e.xmotion.x = x, e.xmotion.y = y;
    e.xmotion.state = stateOf(held);
    e.xmotion.same_screen = True;
    return send(impl->display, child, PointerMotionMask, e);
}

bool X11HostWindow::sendCrossing(Crossing kind, int x, int y) {
    const Window child = impl->window ? firstChild(impl->display, impl->window) : 0;
    if (!child) return false;
    XEvent e{};
    e.xcrossing.type = kind == Crossing::enter ? EnterNotify : LeaveNotify;
    e.xcrossing.display = impl->display;
    e.xcrossing.window = child;
    e.xcrossing.root = DefaultRootWindow(impl->display);
    e.xcrossing.x = x, e.xcrossing.y = y;
    e.xcrossing.mode = kind == Crossing::leaveForGrab ? NotifyGrab : NotifyNormal;
    e.xcrossing.detail = NotifyAncestor;
    e.xcrossing.same_screen = True;
    return send(impl->display, child, kind == Crossing::enter ? EnterWindowMask : LeaveWindowMask,
                e);
}

bool X11HostWindow::sendKey(const char* keyName, bool press, int modifiers) {
    const Window child = impl->window ? firstChild(impl->display, impl->window) : 0;
    const KeySym sym = XStringToKeysym(keyName);
    if (!child || sym == NoSymbol) return false;
    XEvent e{};
    e.xkey.type = press ? KeyPress : KeyRelease;
    e.xkey.display = impl->display;
    e.xkey.window = child;
    e.xkey.root = DefaultRootWindow(impl->display);
    e.xkey.state = stateOf(modifiers);
    e.xkey.keycode = XKeysymToKeycode(impl->display, sym);
    e.xkey.same_screen = True;
    return send(impl->display, child, press ? KeyPressMask : KeyReleaseMask, e);
}

void X11HostWindow::takeFocus() {
    if (!impl->window) return;
    X11ErrorTrap trap(impl->display);
    XSetInputFocus(impl->display, impl->window, RevertToParent, CurrentTime);
}

void X11HostWindow::warpPointer(int x, int y) {
    if (impl->window) XWarpPointer(impl->display, None, impl->window, 0, 0, 0, 0, x, y);
}

void X11HostWindow::flush() {
    XSync(impl->display, False);
}

}  // namespace kt
