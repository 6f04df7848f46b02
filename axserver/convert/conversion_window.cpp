#include "axserver/convert/conversion_window.h"

#include <sonari/host_messages.h>

#include "platform/messages.h"

namespace vexa {

namespace {

constexpr char kClassName[] = "convertClass";
constexpr char kWindowName[] = "convert";

bool registerOnce() {
    static const bool registered = [] {
        win::WindowClass windowClass;
        windowClass.name = kClassName;
        windowClass.proc = [](win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                              win::LPARAM lParam) -> win::LRESULT {
            if (message == SONARI_MSG_TRACK_END) {
                auto* self = reinterpret_cast<std::function<void()>*>(win::getWindowUserData(hwnd));
                if (self != nullptr && *self) {
                    (*self)();
                }
                return 0;
            }
            return win::defWindowProc(hwnd, message, wParam, lParam);
        };
        win::WindowClass existing;
        return win::registerClass(windowClass) || win::getClassInfo(kClassName, existing);
    }();
    return registered;
}

}  // namespace

ConversionWindow::ConversionWindow(std::function<void()> onEndOfFile) noexcept
    : onEndOfFile_(std::move(onEndOfFile)) {
    if (!registerOnce()) {
        return;
    }
    win::CreateParams params;
    params.className = kClassName;
    params.windowName = kWindowName;
    params.width = 1;
    params.height = 1;
    handle_ = win::createWindow(params);
    if (handle_ != 0) {
        win::setWindowUserData(handle_, reinterpret_cast<win::LPARAM>(&onEndOfFile_));
    }
}

ConversionWindow::~ConversionWindow() {
    if (handle_ != 0) {
        win::setWindowUserData(handle_, 0);
        win::destroyWindow(handle_);
    }
}

}  // namespace vexa
