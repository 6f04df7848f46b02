#pragma once
// The process's one connection to the X display and what drawing code needs of it.
//
// installDisplay opens $DISPLAY on first use (Xlib made thread-safe first), installs the factory
// of visible windows into the message layer and makes the calling thread's queue read the
// display's events. Call it on the thread that will own the visible windows: visible windows are
// made there only (createWindow on another thread answers 0). Without a display it answers false
// and visible windows cannot be made (callers take their "not a window" path).
//
// Renderers draw from other threads through the same connection (Xlib's own lock serialises
// them). A thread that waited for a reply may have left events in Xlib's queue: it calls
// wakeOwner() afterwards, so the owner thread reads them.
//
// X protocol errors never end the process: the calls that may meet them trap them (ErrorTrap) and
// answer as failures; others go to the debug trace. When the connection to the display is lost,
// every visible window is destroyed on its owner thread (WM_DESTROY as usual), isWindow answers
// false for them and installDisplay answers false from then on.

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/x11/window_types.h"

namespace win::x11 {

// True when the display is (already) open. Later calls from other threads only answer.
bool installDisplay();
// The connection; null when there is none (not installed, or lost). Any thread.
::Display* display();
// Makes the owner thread read the events waiting in Xlib's queue. Any thread; never fails.
void wakeOwner();

// What a renderer needs to draw into a visible window of this process. Any thread; false for
// anything else or without a display.
struct Drawable {
    ::Window window = 0;
    ::Visual* visual = nullptr;
    int depth = 0;
    int screen = 0;
};
bool drawableOf(HWND hwnd, Drawable& out);

// Catches the X errors of the requests the calling thread makes while it lives: finish() waits
// for the display to answer them all and returns the first error code (0 when none; also 0
// without a display). Any thread. A trap made while another is active on the thread joins the
// outer one: its finish() answers the outer trap's first error so far. The destructor finishes a
// trap not yet finished. Errors outside any trap go to the debug trace; none ends the process.
class ErrorTrap {
  public:
    ErrorTrap();
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    int finish();

  private:
    bool outer_ = false;
    bool finished_ = false;
};

}  // namespace win::x11
