// What a top-level window tells the window manager: decorations (Motif hints), window type,
// states (above others, full screen) and title (EWMH).
#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/x11/internal.h"
#include "platform/x11/monitors.h"

namespace win::x11::detail {
namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr long kHintsFunctions = 1, kHintsDecorations = 2;
constexpr long kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncMaximize = 16,
               kFuncClose = 32;
constexpr long kDecorBorder = 2, kDecorResize = 4, kDecorTitle = 8, kDecorMenu = 16,
               kDecorMinimize = 32, kDecorMaximize = 64;

}  // namespace

void applyDecorations(Connection& c, WindowState& state) {
    long hints[5] = {kHintsFunctions | kHintsDecorations, 0, 0, 0, 0};
    const UINT style = state.style;
    if ((style & WS_POPUP) != 0) {
        hints[0] = kHintsDecorations;  // no decorations; the window manager's usual functions
    } else {
        const bool caption = (style & WS_CAPTION) == WS_CAPTION;
        const bool sizable = (style & WS_THICKFRAME) != 0;
        hints[1] = kFuncMove | (sizable ? kFuncResize : 0) |
                   ((style & WS_MINIMIZEBOX) != 0 ? kFuncMinimize : 0) |
                   ((style & WS_MAXIMIZEBOX) != 0 ? kFuncMaximize : 0) |
                   ((style & WS_SYSMENU) != 0 ? kFuncClose : 0);
        hints[2] = ((caption || sizable) ? kDecorBorder : 0) | (sizable ? kDecorResize : 0) |
                   (caption ? kDecorTitle : 0) | ((style & WS_SYSMENU) != 0 ? kDecorMenu : 0) |
                   ((style & WS_MINIMIZEBOX) != 0 ? kDecorMinimize : 0) |
                   ((style & WS_MAXIMIZEBOX) != 0 ? kDecorMaximize : 0);
    }
    XChangeProperty(c.dpy, state.id, c.atoms.motifHints, c.atoms.motifHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(hints), 5);
}

void applyWindowType(Connection& c, WindowState& state) {
    const Atom type = (state.exStyle & WS_EX_TOOLWINDOW) != 0 ? c.atoms.netWmWindowTypeUtility
                                                              : c.atoms.netWmWindowTypeNormal;
    XChangeProperty(c.dpy, state.id, c.atoms.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
}

void setNetState(Connection& c, WindowState& state, Atom atom, bool on) {
    if (state.visible && c.windowManagerRunning()) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = state.id;
        event.xclient.message_type = c.atoms.netWmState;
        event.xclient.format = 32;
        event.xclient.data.l[0] = on ? 1 : 0;  // add, remove
        event.xclient.data.l[1] = static_cast<long>(atom);
        event.xclient.data.l[3] = 1;  // an ordinary application asks
        XSendEvent(c.dpy, c.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        return;
    }
    auto atoms = readProperty(c.dpy, state.id, c.atoms.netWmState, XA_ATOM);
    const auto it = std::find(atoms.begin(), atoms.end(), atom);
    if ((it != atoms.end()) == on) {
        return;
    }
    if (on) {
        atoms.push_back(atom);
    } else {
        atoms.erase(it);
    }
    // 32-bit property items travel as longs in Xlib.
    std::vector<long> items(atoms.begin(), atoms.end());
    XChangeProperty(c.dpy, state.id, c.atoms.netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(items.data()),
                    static_cast<int>(items.size()));
}

void updateFullscreen(Connection& c, WindowState& state) {
    if ((state.style & WS_POPUP) == 0 || state.parent != 0 || !c.windowManagerRunning()) {
        return;  // without a window manager the placement alone covers the monitor
    }
    const RECT rect{state.x, state.y, state.x + state.width, state.y + state.height};
    setNetState(c, state, c.atoms.netWmStateFullscreen, rect == monitorRectOfRect(rect, true));
}

void withdrawFromWindowManager(Connection& c, WindowState& state) {
    XWithdrawWindow(c.dpy, state.id, DefaultScreen(c.dpy));
    XSync(c.dpy, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    for (;;) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        const Status ok = XQueryTree(c.dpy, state.id, &root, &parent, &children, &count);
        if (children != nullptr) {
            XFree(children);
        }
        if (ok == 0 || parent == root || std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void setTitle(Connection& c, ::Window id, std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const int length = static_cast<int>(text.size());
    XChangeProperty(c.dpy, id, XA_WM_NAME, XA_STRING, 8, PropModeReplace, bytes, length);
    XChangeProperty(c.dpy, id, c.atoms.netWmName, c.atoms.utf8String, 8, PropModeReplace, bytes,
                    length);
}

}  // namespace win::x11::detail
