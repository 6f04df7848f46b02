#include "axserver/host_services/message_box.h"

#include <algorithm>

#include "platform/messages.h"
#include "platform/x11/display.h"
#include "platform/x11/paint.h"
#include "platform/x11/windows.h"

namespace vexa::host {
namespace {

constexpr const char* kClass = "SonariMessageBox";
constexpr win::COLORREF kFace = win::rgb(236, 236, 236);
constexpr win::COLORREF kInk = win::rgb(0, 0, 0);
constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

// What one box shows and whether it has been answered (owner thread only).
struct Box {
    std::string text;
    win::HFONT font = nullptr;
    bool done = false;
};

win::RECT buttonRect(win::HWND hwnd) {
    win::RECT client;
    win::getClientRect(hwnd, client);
    const int left = (client.width() - kButtonWidth) / 2;
    const int top = client.bottom - kMargin - kButtonHeight;
    return win::RECT{left, top, left + kButtonWidth, top + kButtonHeight};
}

void paint(win::HWND hwnd, Box& box) {
    win::PAINTSTRUCT ps;
    win::HDC dc = win::beginPaint(hwnd, ps);
    if (dc == nullptr) {
        return;
    }
    win::RECT client;
    win::getClientRect(hwnd, client);
    win::fillRect(dc, client, kFace);
    win::drawText(dc, box.font, box.text,
                  win::RECT{kMargin, kMargin, client.right - kMargin, client.bottom},
                  win::DT_LEFT | win::DT_NOPREFIX, kInk);
    const win::RECT button = buttonRect(hwnd);
    win::fillRect(dc, button, kInk);
    win::fillRect(dc,
                  win::RECT{button.left + 1, button.top + 1, button.right - 1, button.bottom - 1},
                  win::rgb(250, 250, 250));
    const win::SIZE ok = win::getTextExtent(dc, box.font, "OK");
    win::drawText(dc, box.font, "OK",
                  win::RECT{button.left, button.top + (kButtonHeight - ok.cy) / 2, button.right,
                            button.bottom},
                  win::DT_CENTER | win::DT_NOPREFIX, kInk);
    win::endPaint(hwnd, ps);
}

win::LRESULT boxProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    auto* box = reinterpret_cast<Box*>(win::getWindowUserData(hwnd));
    if (box == nullptr) {
        return win::defWindowProc(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case win::WM_PAINT:
            paint(hwnd, *box);
            return 0;
        case win::WM_KEYDOWN:
            if (wParam == win::VK_RETURN || wParam == win::VK_SPACE || wParam == win::VK_ESCAPE) {
                box->done = true;
            }
            return 0;
        case win::WM_LBUTTONUP: {
            const win::RECT button = buttonRect(hwnd);
            const int x = static_cast<int16_t>(lParam & 0xFFFF);
            const int y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
            if (x >= button.left && x < button.right && y >= button.top && y < button.bottom) {
                box->done = true;
            }
            return 0;
        }
        case win::WM_CLOSE:
            box->done = true;
            return 0;
        default:
            return win::defWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool showMessageBox(win::HWND owner, const std::string& text, const std::string& caption) {
    if (!win::x11::installDisplay()) {
        return false;
    }
    win::WindowClass cls;
    if (!win::getClassInfo(kClass, cls)) {
        cls.name = kClass;
        cls.proc = boxProc;
        cls.background = kFace;
        win::registerClass(cls);
    }
    Box box{text, win::createFont("Arial", 14, 400), false};
    // Sized to the text, measured in the window before it shows.
    win::CreateParams params;
    params.className = kClass;
    params.windowName = caption;
    params.style = win::WS_CAPTION | win::WS_SYSMENU;
    params.width = 320;
    params.height = 120;
    const win::HWND hwnd = win::createWindow(params);
    if (hwnd == 0) {
        win::deleteFont(box.font);
        return false;
    }
    if (win::HDC dc = win::getDC(hwnd); dc != nullptr) {
        const win::SIZE need = win::getTextExtent(dc, box.font, text);
        win::releaseDC(hwnd, dc);
        const int width = std::clamp(need.cx + 2 * kMargin, 240, 900);
        const int height = kMargin + std::max<int>(need.cy, 16) + kMargin + kButtonHeight + kMargin;
        int x = 100, y = 100;
        if (win::RECT over; owner != 0 && win::getWindowRect(owner, over)) {
            x = over.left + (over.width() - width) / 2;
            y = over.top + (over.height() - height) / 2;
        }
        win::setWindowPos(hwnd, 0, std::max(x, 0), std::max(y, 0), width, height,
                          win::SWP_NOZORDER);
    }
    win::setWindowUserData(hwnd, reinterpret_cast<win::LPARAM>(&box));
    win::showWindow(hwnd, win::SW_SHOW);
    win::setFocus(hwnd);
    win::MSG msg;
    while (!box.done && win::isWindow(hwnd)) {
        const int got = win::getMessage(msg, 0, 0, 0);
        if (got <= 0) {
            // WM_QUIT belongs to the thread's own loop.
            win::postQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        win::dispatchMessage(msg);
    }
    win::setWindowUserData(hwnd, 0);
    win::destroyWindow(hwnd);
    win::deleteFont(box.font);
    return true;
}

}  // namespace vexa::host
