// The plug-in side of the video output: open, draw, close, subtitles and the rest of the
// entries plug-ins call from their decoding threads.
#include "axserver/video/video_output.h"

#include <chrono>

#include "axserver/video/picture_shape.h"
#include "channel/protocol.h"
#include "platform/messages.h"
#include "platform/x11/display.h"
#include "platform/x11/monitors.h"
#include "platform/x11/windows.h"

namespace vexa::video {

namespace {

constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 240;
constexpr std::int64_t kIdleRepaintMs = 500;

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

VideoOutput::VideoOutput(VideoSettings& settings, VideoEvents& events, RendererFactory renderers)
    : settings_(settings),
      events_(events),
      renderers_(std::move(renderers)),
      owner_(std::this_thread::get_id()),
      logoPicture_(makeLogoPicture()),
      blankPicture_(makeBlankPicture()) {}

VideoOutput::~VideoOutput() {
    {
        std::lock_guard guard(lock_);
        renderer_.reset();
    }
    if (const win::HWND hwnd = window_.exchange(0); hwnd != 0) {
        win::setWindowUserData(hwnd, 0);
        win::destroyWindow(hwnd);
    }
}

bool VideoOutput::openRenderer(const Stream& stream) {
    std::lock_guard guard(lock_);
    renderer_.reset();
    stream_ = stream;
    for (int attempt = 0;; ++attempt) {
        std::unique_ptr<VideoRenderer> renderer = renderers_(attempt, settings_.allowOverlay);
        if (!renderer) {
            return false;
        }
        if (renderer->open(*this, stream.width, stream.height, stream.type, stream.flip,
                           stream.aspect)) {
            renderer_ = std::move(renderer);
            return true;
        }
    }
}

int32_t VideoOutput::open(int32_t width, int32_t height, int32_t flip, double aspect,
                          uint32_t type) {
    Stream stream{width == 0 ? kDefaultWidth : width, height == 0 ? kDefaultHeight : height, flip,
                  aspect, type};
    {
        std::lock_guard guard(lock_);
        renderer_.reset();
    }
    if (onOwnerThread()) {
        cachedParentClient_ = {};
    }
    settings_.lastOpenWidth = stream.width;
    settings_.lastOpenHeight = stream.height;
    const win::HWND hwnd = window_;
    if (hwnd == 0 || !win::isWindow(hwnd)) {
        {
            std::lock_guard guard(lock_);
            stream_ = stream;
        }
        if (!lostWindowReported_.exchange(true)) {
            events_.postEvent(kEventVideoNoWindow);
        }
        return 0;
    }
    // A stream without a picture size cannot be drawn: no renderer takes it.
    const bool opened = stream.width > 0 && stream.height > 0 && openRenderer(stream);
    if (!opened) {
        std::lock_guard guard(lock_);
        stream_ = stream;
    }
    if (onOwnerThread()) {
        finishOpen(opened);
    } else {
        win::postMessage(hwnd, kMsgFinishOpen, opened ? 1 : 0, 0);
    }
    return opened ? 0 : 1;
}

void VideoOutput::finishOpen(bool opened) {
    const win::HWND hwnd = window_;
    if (opened && settings_.autoSize) {
        Stream stream;
        {
            std::lock_guard guard(lock_);
            stream = stream_;
        }
        const PictureSize size = displaySize(stream.width, stream.height, stream.aspect);
        win::RECT outer, inner;
        if (win::getWindowRect(hwnd, outer) && win::getClientRect(hwnd, inner)) {
            win::setWindowPos(hwnd, 0, 0, 0, size.width + outer.width() - inner.width(),
                              size.height + outer.height() - inner.height(),
                              win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
        }
        events_.postEvent(kEventVideoResized);
    }
    if (opened) {
        // The idle picture gives way (a stream without a picture leaves the background).
        win::invalidateRect(hwnd, nullptr, true);
    }
    if (opened && !settings_.parentShown) {
        win::showWindow(settings_.videoParent, win::SW_SHOWNA);
        settings_.parentShown = true;
    }
    if (fullScreen_) {
        leaveFullScreen();
        enterFullScreen();
    }
}

void VideoOutput::close() {
    {
        std::lock_guard guard(lock_);
        renderer_.reset();
        currentSubtitle_ = nullptr;
    }
    if (settings_.outputHandedOut.exchange(false)) {
        events_.postEvent(kEventVideoClosed);
    }
    if (const win::HWND hwnd = window_; hwnd != 0) {
        win::invalidateRect(hwnd, nullptr, false);
    }
}

void VideoOutput::draw(const void* frame) {
    if (frame == nullptr) {
        return;
    }
    bool reopen = reopenRequested_.exchange(false);
    Stream stream;
    {
        std::lock_guard guard(lock_);
        reopen = reopen || renderer_ == nullptr || renderer_->needsReopen();
        stream = stream_;
    }
    if (reopen) {
        // A window that is gone stays gone until the client gives a new one: no open per frame.
        if (!win::isWindow(window_) && lostWindowReported_) {
            return;
        }
        open(stream.width, stream.height, stream.flip, stream.aspect, stream.type);
    }
    std::lock_guard guard(lock_);
    if (renderer_) {
        renderer_->draw(frame);
    }
}

void VideoOutput::setSubtitle(const void* subtitle) {
    std::lock_guard guard(lock_);
    if (!renderer_) {
        return;
    }
    if (subtitle == nullptr) {
        if (currentSubtitle_ != nullptr) {
            renderer_->setSubtitle(nullptr);
            currentSubtitle_ = nullptr;
        }
        return;
    }
    if (settings_.subtitlesEnabled == 0 || subtitle == currentSubtitle_) {
        return;
    }
    currentSubtitle_ = subtitle;
    renderer_->setSubtitle(subtitle);
}

void VideoOutput::clearSubtitleLocked() noexcept {
    currentSubtitle_ = nullptr;
    if (renderer_) {
        renderer_->clearSubtitle();
    }
}

void VideoOutput::setStatusText(const char* text) {
    {
        std::lock_guard guard(statusLock_);
        statusText_ = text != nullptr ? text : "";
    }
    if (const win::HWND hwnd = window_; hwnd != 0) {
        win::invalidateRect(hwnd, nullptr, true);
    }
}

std::string VideoOutput::statusText() const {
    std::lock_guard guard(statusLock_);
    return statusText_;
}

void VideoOutput::reportBuffer(int32_t value) {
    bool idle;
    {
        std::lock_guard guard(lock_);
        idle = renderer_ == nullptr;
    }
    const std::int64_t now = nowMs();
    if (idle && now - lastIdleRepaintMs_ >= kIdleRepaintMs) {
        lastIdleRepaintMs_ = now;
        if (const win::HWND hwnd = window_; hwnd != 0) {
            win::invalidateRect(hwnd, nullptr, false);
        }
    }
    events_.postStatus(kStatusBufferValue, value);
}

int32_t VideoOutput::extended(int32_t command, intptr_t arg1, intptr_t /*arg2*/) {
    switch (command) {
        case SONARI_VIDEO_EXT_WINDOW:
            return static_cast<int32_t>(window_.load());
        case SONARI_VIDEO_EXT_SET_FLIP: {
            std::lock_guard guard(lock_);
            stream_.flip = static_cast<int>(arg1);
            if (renderer_) {
                renderer_->setFlip(static_cast<int>(arg1));
            }
            return 0;
        }
        case SONARI_VIDEO_EXT_SET_PALETTE: {
            std::lock_guard guard(lock_);
            if (renderer_) {
                renderer_->setPalette(reinterpret_cast<const std::uint8_t*>(arg1));
            }
            return 0;
        }
        default:
            return 0;
    }
}

void VideoOutput::setMessageHandler(Handler handler, void* context) {
    std::lock_guard guard(handlerLock_);
    handler_ = handler;
    handlerContext_ = context;
}

// What renderers see of the window, always under lock_.

::Display* VideoOutput::display() const noexcept {
    return win::x11::display();
}

bool VideoOutput::drawable(::Window& window, ::Visual*& visual, int& depth) const noexcept {
    win::x11::Drawable d;
    if (!win::x11::drawableOf(window_, d)) {
        return false;
    }
    window = d.window;
    visual = d.visual;
    depth = d.depth;
    return true;
}

bool VideoOutput::clientRect(win::RECT& rect) const noexcept {
    return win::getClientRect(window_, rect);
}

win::POINT VideoOutput::clientOrigin() const noexcept {
    win::POINT origin;
    win::clientToScreen(window_, origin);
    return origin;
}

win::RECT VideoOutput::fitPicture(win::RECT rect) const noexcept {
    return video::fitPicture(rect, stream_.width, stream_.height, stream_.aspect);
}

win::RECT VideoOutput::monitorRect() const noexcept {
    return win::monitorRectOfWindow(window_, true);
}

void VideoOutput::invalidate(const win::RECT* rect, bool erase) noexcept {
    win::invalidateRect(window_, rect, erase);
}

}  // namespace vexa::video
