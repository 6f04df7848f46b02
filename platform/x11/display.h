#pragma once
// The process's one connection to the X display and what drawing code needs of it.
//
// installDisplay opens $DISPLAY on first use (Xlib made thread-safe first), installs the factory
// of visible windows into the message layer and makes the calling thread's queue read the
// display's events. Call it on the thread that will own the visible windows. Without a display
// it answers false and visible windows cannot be made (callers take their "not a window" path).
//
// Renderers draw from other threads through the same connection (Xlib's own lock serialises
// them). A thread that waited for a reply may have left events in Xlib's queue: it calls
// wakeOwner() afterwards, so the owner thread reads them.
//
// X protocol errors never end the process: they are counted per window and reported through
// lastError. When the connection to the display is lost, every visible window is destroyed on
// its owner thread (WM_DESTROY as usual), isWindow answers false for them and installDisplay
// answers false from then on.

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/x11/window_types.h"

namespace win::x11 {

bool installDisplay();
// The connection; null when there is none (not installed, or lost).
::Display* display();
void wakeOwner();

// What a renderer needs to draw into a visible window of this process.
struct Drawable {
    ::Window window = 0;
    ::Visual* visual = nullptr;
    int depth = 0;
    int screen = 0;
};
bool drawableOf(HWND hwnd, Drawable& out);

// Catches the X errors of the requests the calling thread makes while it lives: finish() waits
// for the display to answer them all and returns the first error code (0 when none). Any thread;
// one trap per thread at a time.
class ErrorTrap {
  public:
    ErrorTrap();
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    int finish();
};

}  // namespace win::x11
