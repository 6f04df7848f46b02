// The window side of the video output, all on the main thread: making and re-parenting the
// video window, full screen, the window procedure, the idle picture and the position updates.
#include <algorithm>

#include "axserver/video/video_output.h"
#include "channel/protocol.h"
#include "platform/messages.h"
#include "platform/x11/display.h"
#include "platform/x11/monitors.h"
#include "platform/x11/paint.h"
#include "platform/x11/windows.h"

namespace vexa::video {

namespace {

constexpr int kInitialWidth = 320;
constexpr int kInitialHeight = 200;
constexpr win::UINT kTopLevelStyle =
    win::WS_CAPTION | win::WS_SYSMENU | win::WS_THICKFRAME | win::WS_MINIMIZEBOX;
constexpr win::UINT kPlaceQuietly = win::SWP_NOZORDER | win::SWP_NOACTIVATE;

bool registerVideoClass() {
    static const bool registered = [] {
        win::WindowClass windowClass;
        windowClass.name = VideoOutput::kClassName;
        windowClass.style = win::CS_DBLCLKS;
        windowClass.background = VideoOutput::kBackground;
        windowClass.proc = [](win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                              win::LPARAM lParam) -> win::LRESULT {
            auto* self = reinterpret_cast<VideoOutput*>(win::getWindowUserData(hwnd));
            if (message == win::WM_CREATE) {
                self = reinterpret_cast<VideoOutput*>(lParam);
                win::setWindowUserData(hwnd, lParam);
            }
            if (self == nullptr) {
                return win::defWindowProc(hwnd, message, wParam, lParam);
            }
            return self->windowMessage(hwnd, message, wParam, lParam);
        };
        return win::registerClass(windowClass);
    }();
    return registered;
}

void placeInParent(win::HWND hwnd, win::HWND parent, win::RECT& applied) {
    win::RECT client;
    if (win::getClientRect(parent, client)) {
        applied = client;
        win::setWindowPos(hwnd, 0, 0, 0, client.width(), client.height(), kPlaceQuietly);
    }
}

}  // namespace

bool VideoOutput::create(win::HWND parent) {
    if (!makeWindow(parent)) {
        settings_.videoParent = parent;
        return false;
    }
    settings_.videoParent = parent != 0 ? parent : window_.load();
    return true;
}

bool VideoOutput::makeWindow(win::HWND parent) {
    if (!win::x11::installDisplay() || !registerVideoClass()) {
        return false;
    }
    parentWindow_ = parent;
    cachedParentClient_ = {};
    win::CreateParams params;
    params.className = kClassName;
    params.windowName = kWindowTitle;
    params.style = parent != 0 ? win::WS_CHILD : kTopLevelStyle;
    params.parent = parent;
    params.x = params.y = parent != 0 ? 0 : win::CW_USEDEFAULT;
    params.width = kInitialWidth;
    params.height = kInitialHeight;
    params.createParam = reinterpret_cast<win::LPARAM>(this);
    const win::HWND hwnd = win::createWindow(params);
    if (hwnd == 0) {
        return false;
    }
    lostWindowReported_ = false;
    win::setTimer(hwnd, kTimerId, kTimerMs);
    return true;
}

void VideoOutput::reparent(win::HWND window) {
    if (window != 0 && !win::isWindow(window)) {
        events_.postEvent(kEventVideoNotAWindow);
        return;
    }
    parentWindow_ = window;
    cachedParentClient_ = {};
    win::HWND hwnd = window_;
    if (hwnd == 0 || !win::isWindow(hwnd)) {
        if (!makeWindow(window)) {
            settings_.videoParent = window;
            return;
        }
        hwnd = window_;
    } else {
        win::setParent(hwnd, window);
        win::setWindowStyle(
            hwnd, window != 0 ? win::WS_CHILD | win::WS_VISIBLE : kTopLevelStyle | win::WS_VISIBLE);
    }
    settings_.videoParent = window != 0 ? window : hwnd;
    win::RECT outer;
    if (win::getWindowRect(settings_.videoParent, outer)) {
        win::setWindowPos(hwnd, 0, 0, 0, outer.width(), outer.height(),
                          win::SWP_NOMOVE | kPlaceQuietly);
    }
    std::lock_guard guard(lock_);
    if (renderer_) {
        renderer_->updatePosition();
    }
}

void VideoOutput::repaint() {
    if (const win::HWND hwnd = window_; hwnd != 0) {
        win::invalidateRect(hwnd, nullptr, false);
    }
}

void VideoOutput::enterFullScreen() {
    const win::HWND hwnd = window_;
    {
        std::lock_guard guard(lock_);
        if (!renderer_ || hwnd == 0) {
            return;
        }
    }
    events_.postEvent(kEventFullScreenEntered);
    fullScreen_ = true;
    savedParent_ = win::getParent(hwnd);
    savedStyle_ = win::getWindowStyle(hwnd);
    if (savedParent_ == 0) {
        win::getWindowRect(hwnd, savedRect_);
    } else {
        win::getClientRect(hwnd, savedRect_);
    }
    const win::RECT monitor = win::monitorRectOfWindow(hwnd, true);
    win::showWindow(hwnd, win::SW_HIDE);
    win::setParent(hwnd, 0);
    win::setWindowStyle(hwnd, win::WS_POPUP | win::WS_VISIBLE);
    win::setWindowExStyle(hwnd, win::getWindowExStyle(hwnd) | win::WS_EX_TOOLWINDOW);
    win::setWindowPos(hwnd, win::HWND_TOPMOST, monitor.left, monitor.top, monitor.width(),
                      monitor.height(), win::SWP_FRAMECHANGED);
    win::showWindow(hwnd, win::SW_SHOWNA);
    win::setCursorVisible(hwnd, false);
    win::setFocus(hwnd);
    {
        std::lock_guard guard(lock_);
        clearSubtitleLocked();
    }
    win::postMessage(hwnd, kMsgFullScreenChanged, 1, 0);
}

void VideoOutput::leaveFullScreen() {
    if (!fullScreen_) {
        return;
    }
    const win::HWND hwnd = window_;
    win::setParent(hwnd, savedParent_);
    win::setWindowStyle(hwnd, savedStyle_);
    win::setWindowPos(hwnd, savedParent_ != 0 ? win::HWND_TOP : win::HWND_NOTOPMOST,
                      savedRect_.left, savedRect_.top, savedRect_.width(), savedRect_.height(),
                      win::SWP_FRAMECHANGED | win::SWP_NOACTIVATE);
    win::setCursorVisible(hwnd, true);
    win::setFocus(savedParent_ != 0 ? savedParent_ : hwnd);
    win::postMessage(hwnd, kMsgFullScreenChanged, 0, 0);
    fullScreen_ = false;
    cachedParentClient_ = {};
    {
        std::lock_guard guard(lock_);
        clearSubtitleLocked();
    }
    events_.sendEvent(kEventFullScreenLeft);
}

win::LRESULT VideoOutput::passOn(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                 win::LPARAM lParam) {
    Handler handler;
    void* context;
    {
        std::lock_guard guard(handlerLock_);
        handler = handler_;
        context = handlerContext_;
    }
    if (handler != nullptr) {
        return handler(context, hwnd, message, wParam, lParam);
    }
    return win::defWindowProc(hwnd, message, wParam, lParam);
}

win::LRESULT VideoOutput::windowMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                        win::LPARAM lParam) {
    switch (message) {
        case win::WM_CREATE: {
            window_ = hwnd;
            win::showWindow(hwnd, win::SW_SHOW);
            if (parentWindow_ != 0) {
                placeInParent(hwnd, parentWindow_, cachedParentClient_);
            }
            return 0;
        }
        case win::WM_SYSCOMMAND: {
            const win::WPARAM command = wParam & 0xFFF0;
            if (fullScreen_ && (command == win::SC_SCREENSAVE || command == win::SC_MONITORPOWER)) {
                return 1;
            }
            return passOn(hwnd, message, wParam, lParam);
        }
        case win::WM_SETCURSOR:
            if (fullScreen_) {
                return 1;
            }
            return passOn(hwnd, message, wParam, lParam);
        case win::WM_PAINT:
            if (paint(hwnd)) {
                return 0;
            }
            return passOn(hwnd, message, wParam, lParam);
        case win::WM_CLOSE:
            if (fullScreen_) {
                leaveFullScreen();
                return 0;
            }
            return passOn(hwnd, message, wParam, lParam);
        case win::WM_KEYDOWN:
            if (wParam == win::VK_ESCAPE && fullScreen_) {
                leaveFullScreen();
            } else {
                events_.postStatus(kStatusVideoKey, static_cast<win::LPARAM>(wParam));
            }
            return passOn(hwnd, message, wParam, lParam);
        case win::WM_SYSKEYDOWN:
            events_.postStatus(kStatusVideoSystemKey, static_cast<win::LPARAM>(wParam));
            return 0;
        case win::WM_LBUTTONDBLCLK:
        case kMsgToggleFullScreen:
            if (fullScreen_) {
                leaveFullScreen();
            } else {
                enterFullScreen();
            }
            return passOn(hwnd, message, wParam, lParam);
        case win::WM_RBUTTONUP:
            events_.postStatus(kStatusVideoRightClick, lParam);
            return passOn(hwnd, message, wParam, lParam);
        case kMsgReopen:
            reopenRequested_ = true;
            return passOn(hwnd, message, wParam, lParam);
        case kMsgFinishOpen:
            finishOpen(wParam != 0);
            return 0;
        case win::WM_MOVE:
        case win::WM_SIZE:
        case win::WM_WINDOWPOSCHANGING:
        case win::WM_WINDOWPOSCHANGED:
        case win::WM_NCPAINT:
        case win::WM_EXITSIZEMOVE:
        case win::WM_TIMER:
            updatePosition(message);
            if (message == win::WM_TIMER) {
                return 0;
            }
            if (message == win::WM_NCPAINT) {
                win::invalidateRect(hwnd, nullptr, true);
            }
            return passOn(hwnd, message, wParam, lParam);
        case win::WM_DESTROY: {
            // The window went (closed by the user, or with a parent of another program): the
            // renderer has nothing left to draw into.
            std::lock_guard guard(lock_);
            renderer_.reset();
            currentSubtitle_ = nullptr;
            fullScreen_ = false;
            break;
        }
        case win::WM_NCDESTROY: {
            win::HWND expected = hwnd;
            window_.compare_exchange_strong(expected, 0);
            win::setWindowUserData(hwnd, 0);
            break;
        }
        default:
            break;
    }
    return passOn(hwnd, message, wParam, lParam);
}

bool VideoOutput::paint(win::HWND hwnd) {
    std::unique_lock guard(lock_);
    if (renderer_) {
        win::PAINTSTRUCT ps;
        win::beginPaint(hwnd, ps);
        const bool painted = renderer_->onPaint();
        guard.unlock();
        win::endPaint(hwnd, ps);
        return painted;
    }
    guard.unlock();
    win::PAINTSTRUCT ps;
    if (win::HDC dc = win::beginPaint(hwnd, ps); dc != nullptr) {
        paintIdle(dc);
        win::endPaint(hwnd, ps);
    }
    return true;
}

void VideoOutput::paintIdle(win::HDC dc) {
    const IdlePicture& picture = settings_.showLogo ? logoPicture_ : blankPicture_;
    win::RECT client;
    if (!win::getClientRect(window_, client)) {
        return;
    }
    const IdleLayout layout =
        idleLayout(client.width(), client.height(), picture.width, picture.height);
    win::copyImage(dc, layout.origin.x, layout.origin.y, picture.width, picture.height,
                   picture.pixels.data(), picture.stride());
    for (const win::RECT& strip : layout.strips) {
        if (!strip.empty()) {
            win::fillRect(dc, strip, picture.cornerColour());
        }
    }
}

void VideoOutput::updatePosition(win::UINT message) {
    const win::HWND hwnd = window_;
    if (parentWindow_ != 0 && !fullScreen_) {
        win::RECT client;
        if (win::getClientRect(parentWindow_, client) && !(client == cachedParentClient_)) {
            cachedParentClient_ = client;
            win::setWindowPos(hwnd, 0, 0, 0, client.width(), client.height(), kPlaceQuietly);
        }
    }
    if (message == win::WM_SIZE) {
        const win::HWND parent = settings_.videoParent;
        win::RECT outer;
        if (parent != 0 && parent != hwnd && win::getWindowRect(hwnd, outer)) {
            win::setWindowPos(parent, 0, 0, 0, outer.width(), outer.height(),
                              win::SWP_NOMOVE | kPlaceQuietly);
        }
    }
    std::lock_guard guard(lock_);
    if (renderer_) {
        renderer_->updatePosition();
    }
}

}  // namespace vexa::video
