#pragma once
// The video output: the one object through which input plug-ins show pictures. It owns the video
// window (class "QRXplay"), keeps one renderer for the open stream, places the picture while the
// window moves and resizes, switches to and from full screen on the window's monitor, paints the
// idle picture while nothing is open and turns the window's input into events for the client.
//
// Threads. The window, the commands (create, reparent, full screen) and the window procedure
// belong to the main thread, which made the object. Plug-ins call the SonariVideoOutput entries
// from their decoding threads. `lock_` guards the renderer and the stream it was opened for; it
// is held for every renderer call and never while a window is changed, so the main thread's
// paint and position handling never wait for a plug-in thread that waits for them. Window changes
// an open on a plug-in thread asks for (auto-size, showing the parent, full screen again) are
// posted to the window and done on the main thread.
//
// Error policy: nothing throws. A window that cannot be made or has gone leaves the object idle:
// opens succeed without a renderer and say so with event 5 (once per lost window), commands do
// nothing, a parent that is not a window answers event 11.

#include <sonari/video_output.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "axserver/video/idle_picture.h"
#include "axserver/video/renderer_host.h"
#include "axserver/video/video_events.h"
#include "axserver/video/video_renderer.h"
#include "axserver/video/video_settings.h"
#include "platform/x11/paint.h"
#include "platform/x11/window_types.h"

namespace vexa::video {

// The renderer for one attempt of the choice (0, 1, 2, ...); null when the choice is exhausted.
using RendererFactory =
    std::function<std::unique_ptr<VideoRenderer>(int attempt, bool allowOverlay)>;

class VideoOutput final : public SonariVideoOutput, private RendererHost {
  public:
    static constexpr const char* kClassName = "QRXplay";
    static constexpr const char* kWindowTitle = "QRX Player";
    static constexpr win::COLORREF kBackground = win::rgb(16, 0, 16);
    static constexpr std::uintptr_t kTimerId = 0x2345;
    static constexpr win::UINT kTimerMs = 100;
    // Messages to the window: 0x401 asks for a new renderer at the next frame, 0xB40 toggles full
    // screen; 0xB41 (wParam 1 entered, 0 left) goes to the plug-in's message handler.
    static constexpr win::UINT kMsgReopen = 0x401;
    static constexpr win::UINT kMsgToggleFullScreen = 0xB40;
    static constexpr win::UINT kMsgFullScreenChanged = 0xB41;
    // Posted by an open on a plug-in thread: the main thread finishes it (wParam 1: a renderer
    // opened).
    static constexpr win::UINT kMsgFinishOpen = 0xB50;

    // Main thread. The settings and events outlive the object.
    VideoOutput(VideoSettings& settings, VideoEvents& events, RendererFactory renderers);
    ~VideoOutput() override;
    VideoOutput(const VideoOutput&) = delete;
    VideoOutput& operator=(const VideoOutput&) = delete;

    // Main thread. Makes the video window, a child of `parent` or top-level when 0; false when
    // no window could be made (no display).
    bool create(win::HWND parent);
    // Main thread. Moves the video into `window` (0: a top-level window of its own), making the
    // video window again when it was closed; event 11 when `window` is not a window.
    void reparent(win::HWND window);
    // Main thread.
    void enterFullScreen();
    void leaveFullScreen();
    // Main thread: repaints the window without erase (the idle picture follows showLogo).
    void repaint();

    win::HWND window() const noexcept override { return window_; }
    bool fullScreen() const noexcept { return fullScreen_; }

    // SonariVideoOutput: any thread.
    int32_t open(int32_t width, int32_t height, int32_t flip, double aspect,
                 uint32_t type) override;
    void setMessageHandler(intptr_t (*handler)(void*, SonariWindow, uint32_t, uintptr_t, intptr_t),
                           void* context) override;
    void close() override;
    void draw(const void* frame) override;
    void setSubtitle(const void* subtitle) override;
    void setStatusText(const char* text) override;
    int32_t reserved() override { return 0; }
    void reportBuffer(int32_t value) override;
    int32_t extended(int32_t command, intptr_t arg1, intptr_t arg2) override;

    // The last status text a plug-in gave ("" none).
    std::string statusText() const;

    // The video window's procedure (main thread; the class's procedure hands every message of
    // the window here once it is made).
    win::LRESULT windowMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                               win::LPARAM lParam);

  private:
    struct Stream {
        int width = 0, height = 0, flip = 0;
        double aspect = 1.0;
        std::uint32_t type = 0;
    };
    using Handler = intptr_t (*)(void*, SonariWindow, uint32_t, uintptr_t, intptr_t);

    win::LRESULT passOn(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);
    bool makeWindow(win::HWND parent);
    // The renderer choice for `stream`; true when one opened. Takes lock_.
    bool openRenderer(const Stream& stream);
    // What an open leaves to the main thread (auto-size, showing the parent, full screen again).
    void finishOpen(bool opened);
    // True when the paint was handled here (a renderer painted, or the idle picture).
    bool paint(win::HWND hwnd);
    void paintIdle(win::HDC dc);
    void updatePosition(win::UINT message);
    void clearSubtitleLocked() noexcept;
    bool onOwnerThread() const noexcept { return std::this_thread::get_id() == owner_; }

    // RendererHost (called under lock_).
    ::Display* display() const noexcept override;
    bool drawable(::Window& window, ::Visual*& visual, int& depth) const noexcept override;
    bool clientRect(win::RECT& rect) const noexcept override;
    win::POINT clientOrigin() const noexcept override;
    win::RECT fitPicture(win::RECT rect) const noexcept override;
    win::RECT monitorRect() const noexcept override;
    void invalidate(const win::RECT* rect, bool erase) noexcept override;

    VideoSettings& settings_;
    VideoEvents& events_;
    RendererFactory renderers_;
    const std::thread::id owner_;
    IdlePicture logoPicture_;
    IdlePicture blankPicture_;

    std::atomic<win::HWND> window_{0};
    std::atomic<bool> fullScreen_{false};
    std::atomic<bool> reopenRequested_{false};
    std::atomic<bool> lostWindowReported_{false};
    std::atomic<std::int64_t> lastIdleRepaintMs_{INT64_MIN / 2};

    // Main thread only.
    win::HWND parentWindow_ = 0;
    win::RECT cachedParentClient_;
    win::HWND savedParent_ = 0;
    win::UINT savedStyle_ = 0;
    win::RECT savedRect_;

    mutable std::mutex lock_;
    std::unique_ptr<VideoRenderer> renderer_;  // guarded by lock_
    Stream stream_;                            // guarded by lock_
    const void* currentSubtitle_ = nullptr;    // guarded by lock_

    mutable std::mutex handlerLock_;
    Handler handler_ = nullptr;       // guarded by handlerLock_
    void* handlerContext_ = nullptr;  // guarded by handlerLock_

    mutable std::mutex statusLock_;
    std::string statusText_;  // guarded by statusLock_
};

}  // namespace vexa::video
