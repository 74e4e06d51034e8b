// The editor frame as an X11 child window of the host's window. Each frame has
// its own display connection, used only from the thread that opened it (the
// host's user-interface thread). Drawing goes to an offscreen image that is
// copied to the window (XPutImage) on expose and after each pass that changed
// something.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <cairo.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>

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

// The back buffer in memory shared with the X server (MIT-SHM), so showing a
// region costs the server one copy and no transfer. Only on the local display
// and only for visuals whose pixels are cairo's 32-bit ones.
class SharedImage {
  public:
    bool create(Display* d, Visual* visual, int depth, int width, int height) {
        display = d;
        if (!XShmQueryExtension(display)) return false;
        image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr,
                                &info, static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (!image) return false;
        if (image->bits_per_pixel != 32 || image->bytes_per_line % 4 != 0) return destroy(), false;
        info.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * height,
                            IPC_CREAT | 0600);
        if (info.shmid < 0) return destroy(), false;
        void* address = shmat(info.shmid, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) return destroy(), false;
        info.shmaddr = image->data = static_cast<char*>(address);
        info.readOnly = False;
        {
            X11ErrorTrap trap(display);
            XShmAttach(display, &info);
            attached = !trap.failed();  // refused on a remote display
        }
        // Freed by the system once both sides have let go of it.
        shmctl(info.shmid, IPC_RMID, nullptr);
        if (!attached) return destroy(), false;
        return true;
    }

    void destroy() {
        if (attached) {
            X11ErrorTrap trap(display);
            XShmDetach(display, &info);
        }
        attached = false;
        if (info.shmaddr) shmdt(info.shmaddr);
        info.shmaddr = nullptr;
        if (image) {
            image->data = nullptr;
            XDestroyImage(image);
        }
        image = nullptr;
    }

    unsigned char* data() const { return reinterpret_cast<unsigned char*>(image->data); }
    int stride() const { return image->bytes_per_line; }

    // Copies a region to the drawable; the caller's sync makes sure the server
    // has read it before the buffer is drawn into again.
    void put(Drawable target, GC gc, int x, int y, int w, int h) {
        XShmPutImage(display, target, gc, image, x, y, x, y, static_cast<unsigned>(w),
                     static_cast<unsigned>(h), False);
    }

  private:
    Display* display = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo info{};
    bool attached = false;
};

class X11Frame final : public PlatformFrame {
  public:
    X11Frame(Display* d, Window w, Visual* v, int depth, int width, int height,
             PlatformFrameClient* c)
        : display(d), window(w), visual(v), depth(depth), width(width), height(height), client(c) {
        gc = XCreateGC(display, window, 0, nullptr);
        direct = visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
                 visual->blue_mask == 0xFF && (depth == 24 || depth == 32);
        // Opaque pixels with alpha 255 serve 24-bit windows and 32-bit ARGB ones alike.
        // KT_X11_NO_SHM takes the path of a remote display (tests run both).
        if (direct && !std::getenv("KT_X11_NO_SHM") &&
            shared.create(display, visual, depth, width, height)) {
            useShared = true;
            back = cairo_image_surface_create_for_data(shared.data(), CAIRO_FORMAT_ARGB32, width,
                                                       height, shared.stride());
        } else {
            back = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        }
    }

    ~X11Frame() override {
        releaseFocus();
        {
            X11ErrorTrap trap(display);
            XFreeGC(display, gc);
            if (alive) XDestroyWindow(display, window);
        }
        cairo_surface_destroy(back);
        if (useShared) shared.destroy();
        closeOwnDisplay(display);
    }

    cairo_surface_t* backBuffer() override { return back; }
    std::uintptr_t nativeWindow() const override { return window; }

    void present(int x, int y, int w, int h) override {
        x = std::max(0, x), y = std::max(0, y);
        w = std::min(w, width - x), h = std::min(h, height - y);
        if (!alive || w <= 0 || h <= 0) return;
        cairo_surface_flush(back);
        X11ErrorTrap trap(display);
        if (useShared) {
            shared.put(window, gc, x, y, w, h);
        } else if (direct) {
            putDirect(x, y, w, h);
        } else {
            putConverted(x, y, w, h);
        }
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
                settleFocusLoss();
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
    // The back buffer's pixels are already in the window's format: send them as they are.
    void putDirect(int x, int y, int w, int h) {
        XImage image{};
        image.width = width;
        image.height = height;
        image.format = ZPixmap;
        image.data = reinterpret_cast<char*>(cairo_image_surface_get_data(back));
        image.byte_order = LSBFirst;  // cairo's 32-bit pixels, in this machine's order
        image.bitmap_unit = 32;
        image.bitmap_bit_order = LSBFirst;
        image.bitmap_pad = 32;
        image.depth = depth;
        image.bytes_per_line = cairo_image_surface_get_stride(back);
        image.bits_per_pixel = 32;
        image.red_mask = visual->red_mask;
        image.green_mask = visual->green_mask;
        image.blue_mask = visual->blue_mask;
        if (!XInitImage(&image)) return;
        XPutImage(display, window, gc, &image, x, y, x, y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
    }

    // Any other visual: each pixel converted through the visual's colour masks.
    void putConverted(int x, int y, int w, int h) {
        XImage* image =
            XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                         static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
        if (!image) return;
        image->data = static_cast<char*>(
            std::calloc(static_cast<size_t>(image->bytes_per_line), static_cast<size_t>(h)));
        if (!image->data) {
            XDestroyImage(image);
            return;
        }
        const unsigned char* data = cairo_image_surface_get_data(back);
        const int stride = cairo_image_surface_get_stride(back);
        for (int j = 0; j < h; ++j) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + (y + j) * stride);
            for (int i = 0; i < w; ++i) {
                const std::uint32_t p = row[x + i];
                XPutPixel(image, i, j,
                          scaleTo((p >> 16) & 255, visual->red_mask) |
                              scaleTo((p >> 8) & 255, visual->green_mask) |
                              scaleTo(p & 255, visual->blue_mask));
            }
        }
        XPutImage(display, window, gc, image, 0, 0, x, y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
        XDestroyImage(image);  // frees the data too
    }

    // An 8-bit channel value placed into a colour mask of any width.
    static unsigned long scaleTo(std::uint32_t value, unsigned long mask) {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1)) ++shift;
        while ((mask >> (shift + bits)) & 1) ++bits;
        const unsigned long max = (1ul << bits) - 1;
        return ((value * max + 127) / 255) << shift;
    }

    // Window managers and toolkits give the focus to the host's window when the
    // user clicks inside it, shortly before or after the click reaches this
    // window (Ardour's plug-in window does both). Such a focus change is no move
    // to another window: the focus comes back here while a view still wants the
    // keys. Any other loss ends the focus view's hold on the keyboard.
    void settleFocusLoss() {
        if (!focusLeft) return;
        if (!hasFocus) {  // given away meanwhile (the list or the entry closed)
            focusLeft = false;
            return;
        }
        using namespace std::chrono;
        const auto now = steady_clock::now();
        const bool pointerHere = focusLeftToHost && pointerInside();
        if (pointerHere && now - lastPress < milliseconds(kClickFocusWindowMs)) {
            focusLeft = false;
            X11ErrorTrap trap(display);
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
            return;
        }
        // The click that made the host take the focus may still be on its way.
        if (pointerHere && now - focusLeftAt < milliseconds(kClickArrivalMs)) return;
        focusLeft = false;
        hasFocus = false;  // someone else has it now: nothing to give back
        client->platformFocusLost();
    }

    bool pointerInside() {
        X11ErrorTrap trap(display);
        Window root, child;
        int rootX, rootY, x, y;
        unsigned int mask = 0;
        return XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask) &&
               !trap.failed() && x >= 0 && y >= 0 && x < width && y < height;
    }

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
                    lastPress = std::chrono::steady_clock::now();
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
                // Only motion directly following is merged: events stay in order.
                XEvent next;
                while (XPending(display) > 0 && XPeekEvent(display, &next) &&
                       next.type == MotionNotify && next.xmotion.window == window &&
                       next.xmotion.state == e.xmotion.state)
                    XNextEvent(display, &e);
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
            case FocusOut:
                // Only the focus leaving this window itself counts; a window
                // under the pointer also hears (detail NotifyPointer) when the
                // focus leaves one of its ancestors, as when it is taken from
                // the host's window. Settled once the events at hand are handled.
                if (hasFocus && e.xfocus.mode == NotifyNormal &&
                    (e.xfocus.detail == NotifyAncestor || e.xfocus.detail == NotifyNonlinear)) {
                    focusLeft = true;
                    focusLeftAt = std::chrono::steady_clock::now();
                    focusLeftToHost = e.xfocus.detail == NotifyAncestor;
                }
                break;
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
    Visual* visual;
    int depth;
    int width, height;
    PlatformFrameClient* client;
    cairo_surface_t* back = nullptr;
    GC gc;
    bool direct = false;
    SharedImage shared;
    bool useShared = false;
    bool alive = true;
    bool dispatching = false;
    bool hasFocus = false;
    Window savedFocus = None;
    // A focus loss not yet settled, and the last click inside this window.
    static constexpr int kClickFocusWindowMs = 1000;
    static constexpr int kClickArrivalMs = 100;
    bool focusLeft = false;
    bool focusLeftToHost = false;
    std::chrono::steady_clock::time_point focusLeftAt{};
    std::chrono::steady_clock::time_point lastPress{};
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
    int depth = 0;
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
                depth = own.depth;
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
    return std::make_unique<X11Frame>(display, window, visual, depth, width, height, client);
}

}  // namespace kt
