// Included only by the platform's X11 sources.
// Xlib's default error handler ends the process, so a host that destroys its
// window before closing the editor would take itself down through our requests.
// While an X11ErrorTrap lives, errors on the displays we opened are swallowed
// (and counted); errors on any other display go to the handler that was there.
#pragma once

#include <X11/Xlib.h>

namespace kt {

// Marks a display connection as one of ours, for the life of the connection.
void registerOwnDisplay(Display* display);
void unregisterOwnDisplay(Display* display);
// Closes a display of ours without letting a late error end the process.
void closeOwnDisplay(Display* display);

class X11ErrorTrap {
  public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();  // syncs, so errors of requests made meanwhile are caught here
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Syncs and tells whether any request since the trap was set failed.
    bool failed();

  private:
    Display* display;
    int (*previous)(Display*, XErrorEvent*);
    unsigned long firstSerial;
};

}  // namespace kt
