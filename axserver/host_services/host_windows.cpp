// The host's window services for its plug-ins (declared in <sonari/host_windows.h>): the
// platform's window procedures, timers, placement and painting behind the plug-in interface's C
// functions. Nothing throws out of them.
#include <sonari/host_windows.h>

#include <type_traits>

#include "axserver/host_services/message_box.h"
#include "platform/messages.h"
#include "platform/x11/paint.h"
#include "platform/x11/windows.h"

namespace {

static_assert(std::is_same_v<win::WNDPROC, SonariWindowProc>);
static_assert(sizeof(win::RECT) == sizeof(SonariRect) &&
              sizeof(win::WINDOWPOS) == sizeof(SonariWindowPos));

SonariRect toSonari(const win::RECT& r) {
    return SonariRect{r.left, r.top, r.right, r.bottom};
}
win::RECT toWin(const SonariRect& r) {
    return win::RECT{r.left, r.top, r.right, r.bottom};
}

// Runs `call`, answering `failed` for anything it throws (an allocation that failed).
template <typename Call, typename Result>
Result guarded(Call&& call, Result failed) noexcept {
    try {
        return call();
    } catch (...) {
        return failed;
    }
}

}  // namespace

extern "C" {

SonariWindowProc sonariSetWindowProc(SonariWindow window, SonariWindowProc proc) {
    return guarded([&] { return win::setWindowProc(window, proc); }, SonariWindowProc{});
}

intptr_t sonariCallWindowProc(SonariWindowProc proc, SonariWindow window, uint32_t message,
                              uintptr_t wParam, intptr_t lParam) {
    if (proc == nullptr) {
        return 0;
    }
    return guarded([&] { return win::callWindowProc(proc, window, message, wParam, lParam); },
                   intptr_t{0});
}

int32_t sonariSetTimer(SonariWindow window, uintptr_t id, uint32_t periodMs) {
    return guarded([&] { return win::setTimer(window, id, periodMs) != 0 ? 1 : 0; }, 0);
}

int32_t sonariKillTimer(SonariWindow window, uintptr_t id) {
    return guarded([&] { return win::killTimer(window, id) ? 1 : 0; }, 0);
}

int32_t sonariGetClientRect(SonariWindow window, SonariRect* out) {
    win::RECT rect;
    if (out == nullptr || !win::getClientRect(window, rect)) {
        return 0;
    }
    *out = toSonari(rect);
    return 1;
}

int32_t sonariGetWindowRect(SonariWindow window, SonariRect* out) {
    win::RECT rect;
    if (out == nullptr || !win::getWindowRect(window, rect)) {
        return 0;
    }
    *out = toSonari(rect);
    return 1;
}

SonariWindow sonariGetParent(SonariWindow window) {
    return win::getParent(window);
}

int32_t sonariScreenToClient(SonariWindow window, int32_t* x, int32_t* y) {
    if (x == nullptr || y == nullptr) {
        return 0;
    }
    win::POINT point{*x, *y};
    if (!win::screenToClient(window, point)) {
        return 0;
    }
    *x = point.x;
    *y = point.y;
    return 1;
}

int32_t sonariSetWindowPos(SonariWindow window, SonariWindow insertAfter, int32_t x, int32_t y,
                           int32_t cx, int32_t cy, uint32_t flags) {
    return guarded(
        [&] { return win::setWindowPos(window, insertAfter, x, y, cx, cy, flags) ? 1 : 0; }, 0);
}

int32_t sonariInvalidateRect(SonariWindow window, const SonariRect* rect, int32_t erase) {
    const win::RECT area = rect != nullptr ? toWin(*rect) : win::RECT{};
    return guarded(
               [&] {
                   return win::invalidateRect(window, rect != nullptr ? &area : nullptr,
                                              erase != 0);
               },
               false)
               ? 1
               : 0;
}

int32_t sonariFillRect(SonariDc* dc, const SonariRect* rect, uint32_t colour) {
    if (dc == nullptr || rect == nullptr) {
        return 0;
    }
    return win::fillRect(reinterpret_cast<win::HDC>(dc), toWin(*rect), colour) ? 1 : 0;
}

int32_t sonariGetCursorPos(int32_t* x, int32_t* y) {
    win::POINT point;
    if (x == nullptr || y == nullptr || !win::getCursorPos(point)) {
        return 0;
    }
    *x = point.x;
    *y = point.y;
    return 1;
}

int32_t sonariPumpMessages(void) {
    return guarded(
        [] {
            int32_t delivered = 0;
            win::MSG msg;
            while (win::peekMessage(msg, 0, 0, 0, win::PM_REMOVE)) {
                if (msg.message == win::WM_QUIT) {
                    // Not ours to take: the thread's own loop ends on it.
                    win::postQuitMessage(static_cast<int>(msg.wParam));
                    break;
                }
                win::dispatchMessage(msg);
                ++delivered;
            }
            return delivered;
        },
        0);
}

int32_t sonariMessageBox(SonariWindow owner, const char* text, const char* caption) {
    return guarded(
        [&] {
            return vexa::host::showMessageBox(owner, text != nullptr ? text : "",
                                              caption != nullptr ? caption : "")
                       ? 1
                       : 0;
        },
        0);
}

}  // extern "C"
