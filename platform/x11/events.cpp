// Display events as messages of the layer. Input is posted (as Windows posts it); placement
// messages are sent, as Windows sends them; exposures accumulate into the one pending paint.
#include <X11/Xutil.h>

#include <cstdlib>

#include "platform/messages.h"
#include "platform/x11/display.h"
#include "platform/x11/internal.h"
#include "platform/x11/keys.h"
#include "platform/x11/windows.h"

namespace win::x11::detail {
namespace {

LPARAM pointParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(x) & 0xFFFF) |
                               ((static_cast<std::uint32_t>(y) & 0xFFFF) << 16));
}

void onExpose(WindowState& state, const XExposeEvent& event) {
    const RECT area{event.x, event.y, event.x + event.width, event.y + event.height};
    std::lock_guard guard(state.paintLock);
    state.invalid = unite(state.invalid, area);
    state.erase = true;
    setPaintPending(state.hwnd, true);
}

void onConfigure(Connection& c, WindowState& state, const XConfigureEvent& event) {
    int x = event.x, y = event.y;
    if (state.parent == 0 && !event.send_event) {
        // Under a window manager the event's place is inside its frame: ask where it is.
        ::Window child = 0;
        ErrorTrap trap;
        XTranslateCoordinates(c.dpy, state.id, c.root, 0, 0, &x, &y, &child);
        if (trap.finish() != 0) {
            return;
        }
    }
    const bool moved = x != state.x || y != state.y;
    const bool sized = event.width != state.width || event.height != state.height;
    state.x = x;
    state.y = y;
    state.width = event.width;
    state.height = event.height;
    WINDOWPOS pos{state.hwnd, 0, x, y, event.width, event.height, 0};
    sendMessage(state.hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (moved) {
        sendMessage(state.hwnd, WM_MOVE, 0, pointParam(x, y));
    }
    if (sized) {
        sendMessage(state.hwnd, WM_SIZE, 0, pointParam(event.width, event.height));
    }
}

void onKey(WindowState& state, XKeyEvent& event) {
    const WPARAM key = virtualKey(XLookupKeysym(&event, 0));
    if (key == 0) {
        return;
    }
    const bool alt = (event.state & Mod1Mask) != 0;
    // Repeat count 1, the scan code, and the context bit when Alt is down.
    const LPARAM lParam =
        1 | static_cast<LPARAM>(((event.keycode - 8) & 0xFF) << 16) | (alt ? LPARAM{1} << 29 : 0);
    postMessage(state.hwnd, alt || key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN, key, lParam);
}

void onButton(WindowState& state, const XButtonEvent& event) {
    const bool press = event.type == ButtonPress;
    const LPARAM where = pointParam(event.x, event.y);
    if (event.button == Button3) {
        postMessage(state.hwnd, press ? WM_RBUTTONDOWN : WM_RBUTTONUP, press ? MK_RBUTTON : 0,
                    where);
        return;
    }
    if (event.button != Button1) {
        return;
    }
    if (!press) {
        postMessage(state.hwnd, WM_LBUTTONUP, 0, where);
        return;
    }
    // The second press soon after and near the first is a double click (for classes that ask);
    // a third press starts over.
    const auto since = static_cast<std::uint32_t>(event.time - state.lastClickTime);
    const bool dblclk = (state.classStyle & CS_DBLCLKS) != 0 && state.lastClickMade &&
                        since <= getDoubleClickTime() &&
                        std::abs(event.x - state.lastClickX) <= 4 &&
                        std::abs(event.y - state.lastClickY) <= 4;
    state.lastClickMade = !dblclk;
    state.lastClickTime = event.time;
    state.lastClickX = event.x;
    state.lastClickY = event.y;
    postMessage(state.hwnd, dblclk ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, where);
}

}  // namespace

void handleEvent(Connection& c, XEvent& event) {
    const auto state = c.find(static_cast<HWND>(event.xany.window));
    if (!state) {
        return;
    }
    switch (event.type) {
        case Expose:
            onExpose(*state, event.xexpose);
            break;
        case ConfigureNotify:
            onConfigure(c, *state, event.xconfigure);
            break;
        case KeyPress:
            onKey(*state, event.xkey);
            break;
        case ButtonPress:
        case ButtonRelease:
            onButton(*state, event.xbutton);
            break;
        case ClientMessage:
            if (event.xclient.message_type == c.atoms.wmProtocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == c.atoms.wmDeleteWindow) {
                postMessage(state->hwnd, WM_CLOSE, 0, 0);
            }
            break;
        case DestroyNotify:
            // Not by us (ours leave the table first): a parent of another program took it along.
            if (event.xdestroywindow.window == state->id) {
                state->gone = true;
                destroyWindow(state->hwnd);
            }
            break;
        default:
            break;
    }
}

}  // namespace win::x11::detail
