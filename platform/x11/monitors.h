#pragma once
// Monitors of the display: XRandR's monitors, else the whole screen; the work area from the
// window manager's _NET_WORKAREA, else the monitor itself. Any thread.

#include "platform/x11/window_types.h"

namespace win {

// The monitor nearest to the window (or the rectangle, in screen coordinates): its whole
// rectangle when `whole`, else its work area. Without a display: an empty rectangle.
RECT monitorRectOfWindow(HWND hwnd, bool whole);
RECT monitorRectOfRect(const RECT& rect, bool whole);
// The monitor the window's centre lies on, with no nearest fallback; false when it lies on none.
bool monitorOfWindowExactly(HWND hwnd, RECT& whole);

}  // namespace win
