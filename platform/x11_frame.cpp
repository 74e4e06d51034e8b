// The editor frame as an X11 child window of the host's window. Each frame has
// its own display connection, used only from the thread that opened it (the
// host's user-interface thread). Drawing goes to an offscreen image that is
// copied to the window on expose and after each pass that changed something.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "platform/platform_frame.h"
#include "platform/x11_error_trap.h"
#include "platform/x11_keys.h"

namespace kt {
namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask | FocusChangeMask;

std::int32_t modifierFlags(unsigned int state) {
    std::int32_t flags = 0;
    if (state & ShiftMask) flags |= kPlatformShift;
    if (state & ControlMask) flags |= kPlatformControl;
    if (state & Mod1Mask) flags |= kPlatformAlt;
    return flags;
}

std::int32_t heldButtons(unsigned int state) {
    std::int32_t flags = modifierFlags(state);
    if (state & Button1Mask) flags |= kPlatformLeftButton;
    if (state & Button2Mask) flags |= kPlatformMiddleButton;
    if (state & Button3Mask) flags |= kPlatformRightButton;
    return flags;
}

std::int32_t buttonFlag(unsigned int button) {
    switch (button) {
        case Button1:
            return kPlatformLeftButton;
        case Button2:
            return kPlatformMiddleButton;
        case Button3:
            return kPlatformRightButton;
        default:
            return 0;
    }
}

// Pending expose area, shown in one copy after the events are handled.
struct DamageBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    void add(int x, int y, int w, int h) {
        if (!any) {
            x0 = x, y0 = y, x1 = x + w, y1 = y + h, any = true;
            return;
        }
        x0 = std::min(x0, x), y0 = std::min(y0, y);
        x1 = std::max(x1, x + w), y1 = std::max(y1, y + h);
    }
};

class X11Frame final : public PlatformFrame {
  public:
    X11Frame(Display* d, Window w, Visual* v, int width, int height, PlatformFrameClient* c)
        : display(d), window(w), width(width), height(height), client(c) {
        back = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        windowSurface = cairo_xlib_surface_create(display, window, v, width, height);
    }

    ~X11Frame() override {
        releaseFocus();
        {
            X11ErrorTrap trap(display);
            cairo_device_t* device =
                cairo_device_reference(cairo_surface_get_device(windowSurface));
            cairo_surface_destroy(windowSurface);
            if (device) {
                cairo_device_finish(device);
                cairo_device_destroy(device);
            }
            if (alive) XDestroyWindow(display, window);
        }
        cairo_surface_destroy(back);
        closeOwnDisplay(display);
    }

    cairo_surface_t* backBuffer() override { return back; }

    void present(int x, int y, int w, int h) override {
        if (!alive || w <= 0 || h <= 0) return;
        X11ErrorTrap trap(display);
        cairo_surface_flush(back);
        cairo_t* cr = cairo_create(windowSurface);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, back, 0, 0);
        cairo_rectangle(cr, x, y, w, h);
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_flush(windowSurface);
    }

    void pumpEvents(int maxWaitMs) override {
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::milliseconds(std::max(0, maxWaitMs));
        if (dispatching) {  // called from inside a handler: only wait
            waitForInput(deadline);
            return;
        }
        dispatching = true;
        {
            X11ErrorTrap trap(display);
            for (;;) {
                while (XPending(display) > 0) {
                    XEvent event;
                    XNextEvent(display, &event);
                    handle(event);
                }
                if (damage.any) {
                    present(damage.x0, damage.y0, damage.x1 - damage.x0, damage.y1 - damage.y0);
                    damage = {};
                }
                if (!waitForInput(deadline)) break;
            }
        }
        dispatching = false;
    }

    void queryPointer(double& x, double& y, std::int32_t& buttons) override {
        x = y = 0;
        buttons = 0;
        if (!alive) return;
        X11ErrorTrap trap(display);
        Window root, child;
        int rootX, rootY, winX, winY;
        unsigned int mask = 0;
        if (XQueryPointer(display, window, &root, &child, &rootX, &rootY, &winX, &winY, &mask)) {
            x = winX, y = winY;
            buttons = heldButtons(mask);
        }
    }

    void takeFocus() override {
        if (!alive) return;
        X11ErrorTrap trap(display);
        if (!hasFocus) {
            int revert = 0;
            XGetInputFocus(display, &savedFocus, &revert);
        }
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        hasFocus = true;
    }

    void releaseFocus() override {
        if (!hasFocus) return;
        hasFocus = false;
        if (!alive) return;
        X11ErrorTrap trap(display);
        Window current = 0;
        int revert = 0;
        XGetInputFocus(display, &current, &revert);
        if (current != window) return;  // someone else took it meanwhile
        if (savedFocus != None && savedFocus != window)
            XSetInputFocus(display, savedFocus, RevertToParent, CurrentTime);
        else
            XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
    }

    bool screenPosition(int& x, int& y) override {
        if (!alive) return false;
        X11ErrorTrap trap(display);
        Window child;
        const bool ok = XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x,
                                              &y, &child);
        return ok && !trap.failed();
    }

    bool isAlive() override { return alive; }

  private:
    // Waits for input until the deadline; false when the deadline has passed.
    bool waitForInput(std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return false;
        XFlush(display);
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
        return true;
    }

    void handle(XEvent& e) {
        switch (e.type) {
            case Expose:
                damage.add(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height);
                break;
            case ButtonPress: {
                const auto& b = e.xbutton;
                const std::int32_t mods = modifierFlags(b.state);
                if (b.button >= 4 && b.button <= 7) {  // wheel: the press is the notch
                    const int axis = b.button >= 6 ? 1 : 0;
                    const float distance = (b.button == 4 || b.button == 7) ? 1.0f : -1.0f;
                    client->platformWheel(b.x, b.y, axis, distance, heldButtons(b.state));
                } else if (const auto flag = buttonFlag(b.button)) {
                    client->platformMouseDown(b.x, b.y, flag | mods,
                                              static_cast<std::uint32_t>(b.time));
                }
                break;
            }
            case ButtonRelease: {
                const auto& b = e.xbutton;
                if (const auto flag = buttonFlag(b.button))
                    client->platformMouseUp(b.x, b.y, flag | modifierFlags(b.state));
                break;
            }
            case MotionNotify: {
                while (XCheckTypedWindowEvent(display, window, MotionNotify, &e)) {
                }
                client->platformMouseMoved(e.xmotion.x, e.xmotion.y, heldButtons(e.xmotion.state));
                break;
            }
            case EnterNotify:
                if (e.xcrossing.mode == NotifyNormal)
                    client->platformMouseEntered(e.xcrossing.x, e.xcrossing.y);
                break;
            case LeaveNotify:
                if (e.xcrossing.mode == NotifyNormal) client->platformMouseExited();
                break;
            case KeyPress: {
                const auto key = keyCodeFromEvent(e.xkey);
                client->platformKeyDown(key);
                break;
            }
            case KeyRelease: {
                const auto key = keyCodeFromEvent(e.xkey);
                client->platformKeyUp(key);
                break;
            }
            case DestroyNotify:
                if (e.xdestroywindow.window == window) alive = false;
                break;
            case MappingNotify:
                XRefreshKeyboardMapping(&e.xmapping);
                break;
            default:
                break;  // configure, focus, MIT-SHM completions and the like
        }
    }

    Display* display;
    Window window;
    int width, height;
    PlatformFrameClient* client;
    cairo_surface_t* back = nullptr;
    cairo_surface_t* windowSurface = nullptr;
    bool alive = true;
    bool dispatching = false;
    bool hasFocus = false;
    Window savedFocus = None;
    DamageBox damage;
};

}  // namespace

std::unique_ptr<PlatformFrame> createX11Frame(void* parent, int width, int height,
                                              PlatformFrameClient* client) {
    const auto parentId = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
    if (parentId == 0 || width <= 0 || height <= 0 || !client) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    registerOwnDisplay(display);

    Window window = 0;
    Visual* visual = nullptr;
    {
        X11ErrorTrap trap(display);
        XWindowAttributes parentAttributes;
        if (XGetWindowAttributes(display, parentId, &parentAttributes) && !trap.failed()) {
            XSetWindowAttributes attributes{};
            attributes.background_pixmap = None;
            attributes.event_mask = kEventMask;
            window = XCreateWindow(display, parentId, 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
            XWindowAttributes own;
            if (!trap.failed() && XGetWindowAttributes(display, window, &own) && !trap.failed()) {
                visual = own.visual;
                XMapWindow(display, window);
            }
            if (trap.failed()) visual = nullptr;
            if (!visual && window) XDestroyWindow(display, window);
        }
    }
    if (!visual) {
        closeOwnDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11Frame>(display, window, visual, width, height, client);
}

}  // namespace kt
