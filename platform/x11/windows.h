#pragma once
// Visible windows: where they are, whose child they are, how they look and when they paint. The
// calls take the handle of a visible window of this process; the queries (getClientRect,
// getWindowRect, clientToScreen, screenToClient, isWindow through messages.h) also take the X11
// id of another program's window. Calls that change a window run on its owner thread only.
//
// Failures are answered as Windows answers them: false, 0 or an empty rectangle; nothing throws.
// A visible window is made with createWindow (messages.h) once installDisplay (display.h) has
// succeeded: style 0 or WS_POPUP without WS_CHILD makes a top-level window (a caption, a frame,
// a system menu and a minimise box when the style asks for them; never a maximise box unless
// WS_MAXIMIZEBOX), WS_CHILD with a parent (which may belong to another process) a child.

#include "platform/x11/window_types.h"

namespace win {

// (0, 0, width, height) of the window's inside.
bool getClientRect(HWND hwnd, RECT& rect);
// The outer rectangle in screen coordinates (with the window manager's frame for a top-level
// window that has one).
bool getWindowRect(HWND hwnd, RECT& rect);
bool clientToScreen(HWND hwnd, POINT& point);
bool screenToClient(HWND hwnd, POINT& point);

// 0 for a top-level window.
HWND getParent(HWND hwnd);
// Makes the window a child of `parent` (0: top-level); answers the previous parent, 0 on failure
// (check isWindow to tell a top-level window's success from a failure).
HWND setParent(HWND hwnd, HWND parent);

UINT getWindowStyle(HWND hwnd);
UINT setWindowStyle(HWND hwnd, UINT style);  // answers the previous style
UINT getWindowExStyle(HWND hwnd);
UINT setWindowExStyle(HWND hwnd, UINT exStyle);

// x, y are relative to the parent's inside (screen for a top-level window); insertAfter is
// HWND_TOP, HWND_TOPMOST, HWND_NOTOPMOST or a sibling.
bool setWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
bool showWindow(HWND hwnd, int command);  // answers whether it was visible before
bool isWindowVisible(HWND hwnd);
HWND setFocus(HWND hwnd);  // answers the window that had the focus
// Hides the mouse pointer over the window (false) or shows the normal arrow again (true).
bool setCursorVisible(HWND hwnd, bool visible);

// Marks the rectangle (null: all of the inside) for repainting; with erase the class background
// is painted there first. WM_PAINT comes once the queue has nothing else for the window.
bool invalidateRect(HWND hwnd, const RECT* rect, bool erase);
// Delivers a pending WM_PAINT at once.
bool updateWindow(HWND hwnd);

// The mouse pointer's position on the screen; false without a display.
bool getCursorPos(POINT& point);

// The double-click time of the system, in milliseconds.
UINT getDoubleClickTime();

}  // namespace win
