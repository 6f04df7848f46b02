#pragma once
// What the files of the module hand each other (module-internal): the window factory, the probe
// for other programs' windows, event translation and the shared drawing helpers.

#include <X11/Xlib.h>

#include "platform/window_backend.h"
#include "platform/x11/connection.h"

namespace win::x11::detail {

// The factory of visible windows (window_factory.cpp); owner thread of the connection only.
VisibleWindow makeWindow(Connection& c, const CreateParams& params);
// Whether `hwnd` names a live display window (ours or another program's); any thread.
bool displayWindowExists(Connection& c, HWND hwnd);

// Window-manager facing state of a top-level window (window_manager.cpp); owner thread.
void applyDecorations(Connection& c, WindowState& state);
void applyWindowType(Connection& c, WindowState& state);
// Sets or clears one _NET_WM_STATE atom: a request to the window manager once the window is
// mapped and one runs, else the property the window manager reads when it maps the window.
void setNetState(Connection& c, WindowState& state, Atom atom, bool on);
// A pop-up placed on a whole monitor asks for the full-screen state when a window manager runs.
void updateFullscreen(Connection& c, WindowState& state);
void setTitle(Connection& c, ::Window id, std::string_view text);
// Takes a mapped top-level window back from the window manager (withdraws it and waits, at most
// a quarter of a second, until the manager has handed it back to the root), so that it can
// become a child: a window re-parented while its frame still holds it is put back on the root
// when the manager lets go of the frame.
void withdrawFromWindowManager(Connection& c, WindowState& state);

// Turns one event into messages of the layer (events.cpp); owner thread.
void handleEvent(Connection& c, XEvent& event);

// The client rectangle that erasing and painting clip to.
inline RECT clientRect(const WindowState& state) {
    return RECT{0, 0, state.width.load(), state.height.load()};
}

}  // namespace win::x11::detail
