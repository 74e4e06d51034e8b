#include "platform/x11_error_trap.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace kt {
namespace {

struct OwnDisplay {
    Display* display;
    unsigned long lastErrorSerial;
};

std::mutex registryMutex;
std::vector<OwnDisplay>& registry() {
    static std::vector<OwnDisplay> displays;
    return displays;
}

// The handler that was installed before the outermost trap.
int (*outerHandler)(Display*, XErrorEvent*) = nullptr;
int trapDepth = 0;

int swallowOwnErrors(Display* display, XErrorEvent* event) {
    {
        std::lock_guard lock(registryMutex);
        for (auto& own : registry()) {
            if (own.display == display) {
                own.lastErrorSerial = event->serial;
                return 0;
            }
        }
    }
    return outerHandler ? outerHandler(display, event) : 0;
}

}  // namespace

void registerOwnDisplay(Display* display) {
    std::lock_guard lock(registryMutex);
    registry().push_back({display, 0});
}

void unregisterOwnDisplay(Display* display) {
    std::lock_guard lock(registryMutex);
    auto& r = registry();
    r.erase(std::remove_if(r.begin(), r.end(),
                           [display](const OwnDisplay& d) { return d.display == display; }),
            r.end());
}

void closeOwnDisplay(Display* display) {
    auto* previous = XSetErrorHandler(swallowOwnErrors);
    if (trapDepth++ == 0) outerHandler = previous;
    XCloseDisplay(display);
    XSetErrorHandler(previous);
    --trapDepth;
    unregisterOwnDisplay(display);
}

X11ErrorTrap::X11ErrorTrap(Display* d) : display(d), firstSerial(NextRequest(d)) {
    previous = XSetErrorHandler(swallowOwnErrors);
    if (trapDepth++ == 0) outerHandler = previous;
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display, False);
    XSetErrorHandler(previous);
    --trapDepth;
}

bool X11ErrorTrap::failed() {
    XSync(display, False);
    std::lock_guard lock(registryMutex);
    for (const auto& own : registry()) {
        if (own.display == display) return own.lastErrorSerial >= firstSerial;
    }
    return false;
}

}  // namespace kt
