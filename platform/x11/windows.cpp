// Placement, parents, styles, visibility, focus and invalidation of visible windows; the queries
// also answer for other programs' display windows.
#include "platform/x11/windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "platform/messages.h"
#include "platform/x11/display.h"
#include "platform/x11/internal.h"

namespace win {
namespace {

using x11::ErrorTrap;
using x11::detail::Connection;
using x11::detail::WindowState;

// A live window of ours, on its owner thread (the display's owner thread).
std::shared_ptr<WindowState> ownWindow(Connection*& c, HWND hwnd) {
    c = x11::detail::connection();
    if (c == nullptr || std::this_thread::get_id() != c->owner) {
        return nullptr;
    }
    auto state = c->find(hwnd);
    return state && !state->gone ? state : nullptr;
}

LPARAM pointParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(x) & 0xFFFF) |
                               ((static_cast<std::uint32_t>(y) & 0xFFFF) << 16));
}

bool toScreen(HWND hwnd, int x, int y, POINT& out) {
    Connection* c = x11::detail::connection();
    if (c == nullptr || hwnd == 0) {
        return false;
    }
    ErrorTrap trap;
    ::Window child = 0;
    int sx = 0, sy = 0;
    const Bool ok = XTranslateCoordinates(c->dpy, hwnd, c->root, x, y, &sx, &sy, &child);
    if (trap.finish() != 0 || !ok) {
        return false;
    }
    out = POINT{sx, sy};
    return true;
}

}  // namespace

bool getClientRect(HWND hwnd, RECT& rect) {
    Connection* c = x11::detail::connection();
    if (c == nullptr || hwnd == 0) {
        return false;
    }
    if (const auto state = c->find(hwnd); state && !state->gone) {
        rect = x11::detail::clientRect(*state);
        return true;
    }
    ErrorTrap trap;
    XWindowAttributes attributes;
    const Status ok = XGetWindowAttributes(c->dpy, hwnd, &attributes);
    if (trap.finish() != 0 || ok == 0) {
        return false;
    }
    rect = RECT{0, 0, attributes.width, attributes.height};
    return true;
}

bool getWindowRect(HWND hwnd, RECT& rect) {
    RECT client;
    POINT origin;
    if (!getClientRect(hwnd, client) || !toScreen(hwnd, 0, 0, origin)) {
        return false;
    }
    rect = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    // A window manager's frame: left, right, top, bottom.
    Connection* c = x11::detail::connection();
    if (c == nullptr) {
        return false;
    }
    ErrorTrap trap;
    const auto frame =
        x11::detail::readProperty(c->dpy, hwnd, c->atoms.netFrameExtents, XA_CARDINAL);
    if (trap.finish() == 0 && frame.size() == 4) {
        rect.left -= static_cast<int>(frame[0]);
        rect.right += static_cast<int>(frame[1]);
        rect.top -= static_cast<int>(frame[2]);
        rect.bottom += static_cast<int>(frame[3]);
    }
    return true;
}

bool clientToScreen(HWND hwnd, POINT& point) {
    return toScreen(hwnd, point.x, point.y, point);
}

bool screenToClient(HWND hwnd, POINT& point) {
    POINT origin;
    if (!toScreen(hwnd, 0, 0, origin)) {
        return false;
    }
    point = POINT{point.x - origin.x, point.y - origin.y};
    return true;
}

HWND getParent(HWND hwnd) {
    Connection* c = x11::detail::connection();
    if (c == nullptr || hwnd == 0) {
        return 0;
    }
    if (const auto state = c->find(hwnd)) {
        return state->parent;
    }
    ErrorTrap trap;
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    const Status ok = XQueryTree(c->dpy, hwnd, &root, &parent, &children, &count);
    if (children != nullptr) {
        XFree(children);
    }
    if (trap.finish() != 0 || ok == 0 || parent == root) {
        return 0;
    }
    return static_cast<HWND>(parent);
}

HWND setParent(HWND hwnd, HWND parent) {
    Connection* c = nullptr;
    const auto state = ownWindow(c, hwnd);
    if (!state || parent == hwnd ||
        (parent != 0 && !x11::detail::displayWindowExists(*c, parent))) {
        return 0;
    }
    const HWND previous = state->parent;
    const bool visible = state->visible;
    ErrorTrap trap;
    if (parent == 0 && visible) {
        XUnmapWindow(c->dpy, state->id);  // a window manager takes a top-level window at its map
    } else if (parent != 0 && previous == 0 && visible) {
        x11::detail::withdrawFromWindowManager(*c, *state);
    }
    XReparentWindow(c->dpy, state->id, parent != 0 ? parent : c->root, state->x, state->y);
    if (parent == 0) {
        Atom protocols[] = {c->atoms.wmDeleteWindow};
        XSetWMProtocols(c->dpy, state->id, protocols, 1);
        x11::detail::applyDecorations(*c, *state);
        x11::detail::applyWindowType(*c, *state);
        x11::detail::setTitle(*c, state->id, getWindowText(hwnd));
    }
    if (visible) {
        XMapWindow(c->dpy, state->id);
    }
    if (trap.finish() != 0) {
        return 0;
    }
    state->parent = parent;
    return previous;
}

UINT getWindowStyle(HWND hwnd) {
    Connection* c = x11::detail::connection();
    const auto state = c != nullptr ? c->find(hwnd) : nullptr;
    if (!state) {
        return 0;
    }
    // The style is the owner thread's; the visibility bit is anyone's.
    return (std::this_thread::get_id() == c->owner ? state->style & ~WS_VISIBLE : 0) |
           (state->visible ? WS_VISIBLE : 0);
}

UINT setWindowStyle(HWND hwnd, UINT style) {
    Connection* c = nullptr;
    const auto state = ownWindow(c, hwnd);
    if (!state) {
        return 0;
    }
    const UINT previous = getWindowStyle(hwnd);
    state->style = style & ~WS_VISIBLE;
    if (state->parent == 0) {
        x11::detail::applyDecorations(*c, *state);
        x11::detail::updateFullscreen(*c, *state);
    }
    XFlush(c->dpy);
    return previous;
}

UINT getWindowExStyle(HWND hwnd) {
    Connection* c = nullptr;
    const auto state = ownWindow(c, hwnd);
    return state ? state->exStyle : 0;
}

UINT setWindowExStyle(HWND hwnd, UINT exStyle) {
    Connection* c = nullptr;
    const auto state = ownWindow(c, hwnd);
    if (!state) {
        return 0;
    }
    const UINT previous = std::exchange(state->exStyle, exStyle);
    if (state->parent == 0) {
        if (((previous ^ exStyle) & WS_EX_TOPMOST) != 0) {
            x11::detail::setNetState(*c, *state, c->atoms.netWmStateAbove,
                                     (exStyle & WS_EX_TOPMOST) != 0);
        }
        x11::detail::applyWindowType(*c, *state);
    }
    XFlush(c->dpy);
    return previous;
}

bool setWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    Connection* c = nullptr;
    const auto state = ownWindow(c, hwnd);
    if (!state) {
        return false;
    }
    const bool move = (flags & SWP_NOMOVE) == 0;
    const bool size = (flags & SWP_NOSIZE) == 0;
    const bool moved = move && (x != state->x || y != state->y);
    const bool sized =
        size && (std::max(width, 1) != state->width || std::max(height, 1) != state->height);
    if (move) {
        state->x = x;
        state->y = y;
    }
    if (size) {
        state->width = std::max(width, 1);
        state->height = std::max(height, 1);
    }
    ErrorTrap trap;
    if (move || size) {
        XMoveResizeWindow(c->dpy, state->id, state->x, state->y,
                          static_cast<unsigned>(state->width.load()),
                          static_cast<unsigned>(state->height.load()));
    }
    if ((flags & SWP_NOZORDER) == 0) {
        if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
            const bool above = insertAfter == HWND_TOPMOST;
            state->exStyle =
                above ? state->exStyle | WS_EX_TOPMOST : state->exStyle & ~WS_EX_TOPMOST;
            if (state->parent == 0) {
                x11::detail::setNetState(*c, *state, c->atoms.netWmStateAbove, above);
            }
            XRaiseWindow(c->dpy, state->id);
        } else if (insertAfter == HWND_TOP) {
            XRaiseWindow(c->dpy, state->id);
        } else {
            XWindowChanges changes{};
            changes.sibling = insertAfter;
            changes.stack_mode = Below;
            XConfigureWindow(c->dpy, state->id, CWSibling | CWStackMode, &changes);
        }
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        state->visible = true;
        XMapWindow(c->dpy, state->id);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        state->visible = false;
        XUnmapWindow(c->dpy, state->id);
    }
    if (state->parent == 0) {
        x11::detail::updateFullscreen(*c, *state);
    }
    const bool ok = trap.finish() == 0;
    // Sent at once, as Windows does; the display's later report of the same place sends nothing.
    WINDOWPOS pos{hwnd, insertAfter, state->x, state->y, state->width, state->height, flags};
    sendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (moved) {
        sendMessage(hwnd, WM_MOVE, 0, pointParam(state->x, state->y));
    }
    if (sized) {
        sendMessage(hwnd, WM_SIZE, 0, pointParam(state->width, state->height));
    }
    return ok;
}

bool showWindow(HWND hwnd, int command) {
    Connection* c = nullptr;
    const auto state = ownWindow(c, hwnd);
    if (!state) {
        return false;
    }
    const bool show = command != SW_HIDE;
    const bool was = state->visible.exchange(show);
    if (show) {
        XMapWindow(c->dpy, state->id);
    } else {
        XUnmapWindow(c->dpy, state->id);
    }
    XFlush(c->dpy);
    return was;
}

bool isWindowVisible(HWND hwnd) {
    Connection* c = x11::detail::connection();
    if (c == nullptr || hwnd == 0) {
        return false;
    }
    if (const auto state = c->find(hwnd)) {
        return state->visible && !state->gone;
    }
    ErrorTrap trap;
    XWindowAttributes attributes;
    const Status ok = XGetWindowAttributes(c->dpy, hwnd, &attributes);
    return trap.finish() == 0 && ok != 0 && attributes.map_state == IsViewable;
}

HWND setFocus(HWND hwnd) {
    Connection* c = x11::detail::connection();
    if (c == nullptr) {
        return 0;
    }
    ErrorTrap trap;
    ::Window focus = None;
    int revert = 0;
    XGetInputFocus(c->dpy, &focus, &revert);
    if (hwnd != 0) {
        XSetInputFocus(c->dpy, hwnd, RevertToParent, CurrentTime);
    }
    trap.finish();  // a window that cannot take the focus (unmapped) keeps it where it was
    return focus == None || focus == PointerRoot || focus == c->root ? 0 : static_cast<HWND>(focus);
}

bool invalidateRect(HWND hwnd, const RECT* rect, bool erase) {
    Connection* c = x11::detail::connection();
    const auto state = c != nullptr ? c->find(hwnd) : nullptr;
    if (!state || state->gone) {
        return false;
    }
    // The whole inside is clipped to the size it has when painted.
    const RECT area = rect != nullptr ? *rect : RECT{-32768, -32768, 32767, 32767};
    std::lock_guard guard(state->paintLock);
    state->invalid = x11::detail::unite(state->invalid, area);
    state->erase = state->erase || erase;
    return setPaintPending(hwnd, true);
}

bool updateWindow(HWND hwnd) {
    Connection* c = nullptr;
    const auto state = ownWindow(c, hwnd);
    if (!state) {
        return false;
    }
    bool pending = false;
    {
        std::lock_guard guard(state->paintLock);
        pending = !state->invalid.empty();
    }
    if (pending) {
        sendMessage(hwnd, WM_PAINT, 0, 0);
    }
    return true;
}

bool getCursorPos(POINT& point) {
    Connection* c = x11::detail::connection();
    if (c == nullptr) {
        return false;
    }
    ::Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(c->dpy, c->root, &root, &child, &x, &y, &wx, &wy, &mask)) {
        return false;
    }
    point = POINT{x, y};
    return true;
}

UINT getDoubleClickTime() {
    return 500;
}

bool setCursorVisible(HWND hwnd, bool visible) {
    Connection* c = nullptr;
    if (!ownWindow(c, hwnd)) {
        return false;
    }
    ErrorTrap trap;
    if (visible) {
        XUndefineCursor(c->dpy, hwnd);
    } else {
        // A cursor made of one transparent pixel.
        static const char kEmpty[1] = {0};
        const Pixmap bits = XCreateBitmapFromData(c->dpy, hwnd, kEmpty, 1, 1);
        XColor black{};
        const Cursor cursor = XCreatePixmapCursor(c->dpy, bits, bits, &black, &black, 0, 0);
        XDefineCursor(c->dpy, hwnd, cursor);
        XFreeCursor(c->dpy, cursor);
        XFreePixmap(c->dpy, bits);
    }
    return trap.finish() == 0;
}

}  // namespace win
