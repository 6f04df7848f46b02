#pragma once
// The host's video window taken over for the movie: registered with the runtime as the movie's
// drawing target and subclassed, so that the runtime sees its messages, the movie is letterboxed
// into it on every change of size, the strips around the movie are painted black and the picture
// is drawn again every second (timer 0x4445).
//
// Threads: attach runs on the play thread (a new window) or on the host's main thread (none, from
// stop, after the play thread ended); never both at once. The subclassed procedure runs on the
// window's own thread (the host's main thread): what only that thread may do (placement, timer)
// attach asks of it by posting the window a message of the plug-in's own. The window services are
// the host's weak functions (host_windows.h); one that is missing is skipped.
//
// One window at a time in the process: the procedure finds its MovieWindow through the one
// attached.

#include <sonari/host_windows.h>

#include <atomic>
#include <cstdint>

#include "plugins/in_mova/play_state.h"

namespace kinvo::in_mova {

inline constexpr uintptr_t kRedrawTimer = 0x4445;
inline constexpr uint32_t kRedrawPeriodMs = 1000;
// Posted to the window by attach: its procedure places it, erases it and starts the timer.
inline constexpr uint32_t kPlaceMessage = SONARI_WM_APP + 0x4D4F;

class MovieWindow {
  public:
    explicit MovieWindow(PlayState& state) noexcept : state_(state) {}
    ~MovieWindow() { attach(0); }
    MovieWindow(const MovieWindow&) = delete;
    MovieWindow& operator=(const MovieWindow&) = delete;

    // Draws the movie into window (0: lets the previous window go, its procedure restored).
    void attach(SonariWindow window) noexcept;
    SonariWindow window() const noexcept { return window_.load(); }

  private:
    static intptr_t procedure(SonariWindow window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam);
    intptr_t handle(SonariWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    intptr_t passOn(SonariWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void offerToRuntime(SonariWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    bool eraseStrips(SonariWindow window, uintptr_t dc);
    void fitTo(int32_t width, int32_t height);
    void place(SonariWindow window);
    void restore() noexcept;

    PlayState& state_;
    std::atomic<SonariWindow> window_{0};
    std::atomic<SonariWindowProc> savedProc_{nullptr};
    intptr_t port_ = 0;  // the attached window's runtime port; attach's caller only

    static std::atomic<MovieWindow*> attached_;
};

}  // namespace kinvo::in_mova
