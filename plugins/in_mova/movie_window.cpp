#include "plugins/in_mova/movie_window.h"

#include <chrono>

#include <sonari/host_messages.h>
#include "plugins/in_mova/letterbox.h"

namespace kinvo::in_mova {

std::atomic<MovieWindow*> MovieWindow::attached_{nullptr};

namespace {

constexpr intptr_t kRegisterFlags = 3;
constexpr uint32_t kBlack = 0x000000;

uint32_t tickMs() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

void MovieWindow::restore() noexcept {
    const SonariWindow previous = window_.exchange(0);
    if (previous == 0) {
        return;
    }
    const SonariWindowProc saved = savedProc_.exchange(nullptr);
    if (saved != nullptr && sonariSetWindowProc != nullptr) {
        sonariSetWindowProc(previous, saved);
    }
}

void MovieWindow::attach(SonariWindow window) noexcept {
    if (window == window_.load()) {
        return;
    }
    const SonariWindow previous = window_.load();
    restore();
    if (window == 0) {
        // Stop runs on the window's own thread: the timer can go and the port be given back.
        if (previous != 0 && sonariKillTimer != nullptr) {
            sonariKillTimer(previous, kRedrawTimer);
        }
        if (port_ != 0) {
            state_.runtime.call(QTML_UNREGISTER_PORT, port_);
            port_ = 0;
        }
        attached_.store(nullptr);
        return;
    }
    state_.runtime.call(QTML_REGISTER_WINDOW, window, 0, kRegisterFlags);
    const intptr_t port = state_.runtime.call(QTML_WINDOW_PORT, window);
    state_.runtime.call(QTML_SET_MOVIE_PORT, state_.movie.load(), port, 0);
    if (port_ != 0) {
        state_.runtime.call(QTML_UNREGISTER_PORT, port_);
    }
    port_ = port;
    attached_.store(this);
    window_.store(window);
    if (sonariSetWindowProc != nullptr) {
        const SonariWindowProc previousProc = sonariSetWindowProc(window, procedure);
        if (previousProc != procedure) {
            savedProc_.store(previousProc);
        }
    }
    if (sonariPostMessage != nullptr) {
        sonariPostMessage(window, kPlaceMessage, 0, 0);
    }
}

intptr_t MovieWindow::procedure(SonariWindow window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) {
    MovieWindow* self = attached_.load();
    if (self == nullptr) {
        return 0;
    }
    try {
        return self->handle(window, message, wParam, lParam);
    } catch (...) {
        return self->passOn(window, message, wParam, lParam);
    }
}

intptr_t MovieWindow::passOn(SonariWindow window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) {
    const SonariWindowProc saved = savedProc_.load();
    if (saved == nullptr || sonariCallWindowProc == nullptr) {
        return 0;
    }
    return sonariCallWindowProc(saved, window, message, wParam, lParam);
}

intptr_t MovieWindow::handle(SonariWindow window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) {
    if ((message == SONARI_WM_LBUTTONDOWN || message == SONARI_WM_LBUTTONDBLCLK) &&
        state_.rtsp.load()) {
        return passOn(window, message, wParam, lParam);
    }
    offerToRuntime(window, message, wParam, lParam);
    switch (message) {
        case SONARI_WM_ERASEBKGND:
            if (eraseStrips(window, wParam)) {
                return 1;
            }
            break;
        case SONARI_WM_WINDOWPOSCHANGING:
        case SONARI_WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const SonariWindowPos*>(lParam);
            if (pos != nullptr && pos->cx != 0 && pos->cy != 0) {
                fitTo(pos->cx, pos->cy);
            }
            break;
        }
        case SONARI_WM_TIMER:
            if (wParam == kRedrawTimer) {
                state_.runtime.call(QTML_UPDATE_MOVIE, state_.movie.load());
            }
            break;
        case kPlaceMessage:
            place(window);
            return 0;
        default:
            break;
    }
    return passOn(window, message, wParam, lParam);
}

void MovieWindow::offerToRuntime(SonariWindow window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) {
    QtmlWindowMessage in{window, message, wParam, lParam, tickMs(), 0, 0};
    if (sonariGetCursorPos != nullptr) {
        sonariGetCursorPos(&in.x, &in.y);
    }
    QtmlEvent event{};
    if (state_.runtime.call(QTML_WINDOW_EVENT, &in, &event) != 0) {
        return;
    }
    const intptr_t controller = state_.controller.load();
    if (controller != 0) {
        state_.runtime.callComponent(controller, QTML_MC_IS_PLAYER_EVENT,
                                     {reinterpret_cast<intptr_t>(&event)});
    }
}

bool MovieWindow::eraseStrips(SonariWindow window, uintptr_t dc) {
    QtmlRect shown;
    {
        const std::lock_guard lock(state_.drawLock);
        shown = state_.displayRect;
    }
    SonariRect client{};
    if (widthOf(shown) <= 0 || sonariGetClientRect == nullptr || sonariFillRect == nullptr ||
        sonariGetClientRect(window, &client) == 0) {
        return false;
    }
    auto* target = reinterpret_cast<SonariDc*>(dc);
    const SonariRect strips[] = {
        {client.left, client.top, client.right, shown.top},        // above
        {client.left, shown.bottom, client.right, client.bottom},  // below
        {client.left, shown.top, shown.left, shown.bottom},        // left
        {shown.right, shown.top, client.right, shown.bottom},      // right
    };
    for (const auto& strip : strips) {
        if (strip.right > strip.left && strip.bottom > strip.top) {
            sonariFillRect(target, &strip, kBlack);
        }
    }
    return true;
}

void MovieWindow::fitTo(int32_t width, int32_t height) {
    QtmlRect shown;
    {
        const std::lock_guard lock(state_.drawLock);
        state_.displayRect = letterbox(state_.movieBox, width, height);
        shown = state_.displayRect;
    }
    const intptr_t movie = state_.movie.load();
    if (movie != 0) {
        state_.runtime.call(QTML_SET_MOVIE_BOX, movie, &shown);
        state_.runtime.call(QTML_UPDATE_MOVIE, movie);
    }
}

void MovieWindow::place(SonariWindow window) {
    SonariRect frame{};
    if (sonariGetWindowRect != nullptr && sonariSetWindowPos != nullptr &&
        sonariGetWindowRect(window, &frame) != 0) {
        int32_t x = frame.left;
        int32_t y = frame.top;
        const SonariWindow parent = sonariGetParent != nullptr ? sonariGetParent(window) : 0;
        if (parent != 0 && sonariScreenToClient != nullptr) {
            sonariScreenToClient(parent, &x, &y);
        }
        sonariSetWindowPos(window, 0, x, y, frame.right - frame.left, frame.bottom - frame.top,
                           SONARI_SWP_NOZORDER | SONARI_SWP_NOACTIVATE);
    }
    // The letterbox follows the client area even where moving in place reports no change.
    SonariRect client{};
    if (sonariGetClientRect != nullptr && sonariGetClientRect(window, &client) != 0 &&
        client.right > client.left && client.bottom > client.top) {
        fitTo(client.right - client.left, client.bottom - client.top);
    }
    if (sonariInvalidateRect != nullptr) {
        sonariInvalidateRect(window, nullptr, 1);
    }
    if (sonariSetTimer != nullptr) {
        sonariSetTimer(window, kRedrawTimer, kRedrawPeriodMs);
    }
}

}  // namespace kinvo::in_mova
