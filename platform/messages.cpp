// The functions of messages.h and window_backend.h: each hands its call to the process's layer.
#include "platform/messages.h"

#include "platform/message_layer.h"
#include "platform/window_backend.h"

namespace win {
namespace {

detail::Layer& layer() {
    return detail::Layer::instance();
}

}  // namespace

bool registerClass(const WindowClass& windowClass) {
    return layer().registerClass(windowClass);
}
bool getClassInfo(std::string_view name, WindowClass& out) {
    return layer().classInfo(name, out);
}
bool unregisterClass(std::string_view name) {
    return layer().unregisterClass(name);
}

HWND createWindow(const CreateParams& params) {
    return layer().createWindow(params);
}
HWND createWindow(std::string_view className, std::string_view windowName) {
    CreateParams params;
    params.className = std::string(className);
    params.windowName = std::string(windowName);
    return layer().createWindow(params);
}

bool destroyWindow(HWND hwnd) {
    return layer().destroyWindow(hwnd);
}
bool isWindow(HWND hwnd) {
    return layer().isWindow(hwnd);
}
std::string getWindowText(HWND hwnd) {
    return layer().windowText(hwnd);
}
bool setWindowText(HWND hwnd, std::string_view text) {
    return layer().setWindowText(hwnd, text);
}
std::string getClassName(HWND hwnd) {
    return layer().className(hwnd);
}
UINT getClassStyle(HWND hwnd) {
    return layer().classStyle(hwnd);
}
pid_t getWindowProcessId(HWND hwnd) {
    return layer().windowProcess(hwnd);
}

WNDPROC setWindowProc(HWND hwnd, WNDPROC proc) {
    return layer().setWindowProc(hwnd, proc);
}
WNDPROC getWindowProc(HWND hwnd) {
    return layer().windowProc(hwnd);
}

LRESULT callWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc != nullptr ? proc(hwnd, message, wParam, lParam) : 0;
}

LRESULT defWindowProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        destroyWindow(hwnd);
    } else if (message == WM_PAINT) {
        layer().validate(hwnd);
    }
    return 0;
}

LPARAM getWindowUserData(HWND hwnd) {
    LPARAM value = 0;
    return layer().windowValue(hwnd, -1, &value, nullptr) ? value : 0;
}
LPARAM setWindowUserData(HWND hwnd, LPARAM newValue) {
    LPARAM value = 0;
    return layer().windowValue(hwnd, -1, &value, &newValue) ? value : 0;
}
LPARAM getWindowValue(HWND hwnd, int index) {
    LPARAM value = 0;
    return index >= 0 && layer().windowValue(hwnd, index, &value, nullptr) ? value : 0;
}
LPARAM setWindowValue(HWND hwnd, int index, LPARAM newValue) {
    LPARAM value = 0;
    return index >= 0 && layer().windowValue(hwnd, index, &value, &newValue) ? value : 0;
}

bool postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return layer().postMessage(hwnd, message, wParam, lParam);
}

LRESULT sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    layer().sendMessage(hwnd, message, wParam, lParam, kInfinite, &result);
    return result;
}

bool sendMessageTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT timeoutMs,
                        LRESULT* result) {
    return layer().sendMessage(hwnd, message, wParam, lParam, timeoutMs, result);
}

bool peekMessage(MSG& msg, HWND hwnd, UINT min, UINT max, UINT removeFlags) {
    return layer().peekMessage(msg, hwnd, min, max, removeFlags);
}

int getMessage(MSG& msg, HWND hwnd, UINT min, UINT max) {
    return layer().getMessage(msg, hwnd, min, max);
}

bool waitMessage(UINT timeoutMs) {
    return layer().waitMessage(timeoutMs);
}
LRESULT dispatchMessage(const MSG& msg) {
    return layer().dispatchMessage(msg);
}
void postQuitMessage(int exitCode) {
    layer().currentQueue().postQuit(exitCode);
}
int queueDescriptor() {
    return layer().currentQueue().descriptor();
}

bool addQueueSource(int fd, std::function<void()> onReadable) {
    return layer().currentQueue().addSource(fd, std::move(onReadable));
}
void removeQueueSource(int fd) {
    layer().currentQueue().removeSource(fd);
}

std::uintptr_t setTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs) {
    return layer().setTimer(hwnd, id, elapseMs);
}
bool killTimer(HWND hwnd, std::uintptr_t id) {
    return layer().killTimer(hwnd, id);
}

bool enumWindows(const std::function<bool(HWND)>& visit) {
    return layer().enumWindows(visit);
}

void setVisibleWindowFactory(VisibleWindowFactory factory) {
    layer().setVisibleWindowFactory(std::move(factory));
}
void setForeignWindowProbe(ForeignWindowProbe probe) {
    layer().setForeignWindowProbe(std::move(probe));
}
bool setPaintPending(HWND hwnd, bool pending) {
    return layer().setPaintPending(hwnd, pending);
}

}  // namespace win
