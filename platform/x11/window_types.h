#pragma once
// The vocabulary of visible windows: rectangles, points, colours, window styles and the flags of
// the placement calls, with their Windows values. Plain values only.

#include <cstdint>

#include "platform/message_types.h"

namespace win {

struct RECT {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
    std::int32_t x = 0, y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    std::int32_t cx = 0, cy = 0;
};

// 0x00BBGGRR, as Windows keeps colours.
using COLORREF = std::uint32_t;
inline constexpr COLORREF rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return r | (g << 8) | (static_cast<COLORREF>(b) << 16);
}
inline constexpr COLORREF kNoBackground = 0xFFFFFFFF;  // WindowClass::background: none

// Window styles (CreateParams::style, getWindowStyle).
inline constexpr UINT WS_POPUP = 0x80000000;
inline constexpr UINT WS_CHILD = 0x40000000;
inline constexpr UINT WS_VISIBLE = 0x10000000;
inline constexpr UINT WS_CAPTION = 0x00C00000;
inline constexpr UINT WS_SYSMENU = 0x00080000;
inline constexpr UINT WS_THICKFRAME = 0x00040000;
inline constexpr UINT WS_MINIMIZEBOX = 0x00020000;
inline constexpr UINT WS_MAXIMIZEBOX = 0x00010000;
// Extended styles (CreateParams::exStyle, getWindowExStyle).
inline constexpr UINT WS_EX_TOPMOST = 0x00000008;
inline constexpr UINT WS_EX_TOOLWINDOW = 0x00000080;

// CreateParams::x and y: the system chooses.
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// setWindowPos.
inline constexpr HWND HWND_TOP = 0;
inline constexpr HWND HWND_TOPMOST = static_cast<HWND>(-1);
inline constexpr HWND HWND_NOTOPMOST = static_cast<HWND>(-2);
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;

// showWindow.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWNA = 8;

// Messages of visible windows (beside those of message_types.h).
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr UINT WM_NCPAINT = 0x0085;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_EXITSIZEMOVE = 0x0232;

// WM_SYSCOMMAND values (wParam & 0xFFF0).
inline constexpr WPARAM SC_SCREENSAVE = 0xF140;
inline constexpr WPARAM SC_MONITORPOWER = 0xF170;

// Virtual-key codes the system tests for; letters and digits are their upper-case ASCII codes.
inline constexpr WPARAM VK_BACK = 0x08;
inline constexpr WPARAM VK_TAB = 0x09;
inline constexpr WPARAM VK_RETURN = 0x0D;
inline constexpr WPARAM VK_ESCAPE = 0x1B;
inline constexpr WPARAM VK_SPACE = 0x20;
inline constexpr WPARAM VK_PRIOR = 0x21;
inline constexpr WPARAM VK_NEXT = 0x22;
inline constexpr WPARAM VK_END = 0x23;
inline constexpr WPARAM VK_HOME = 0x24;
inline constexpr WPARAM VK_LEFT = 0x25;
inline constexpr WPARAM VK_UP = 0x26;
inline constexpr WPARAM VK_RIGHT = 0x27;
inline constexpr WPARAM VK_DOWN = 0x28;
inline constexpr WPARAM VK_INSERT = 0x2D;
inline constexpr WPARAM VK_DELETE = 0x2E;
inline constexpr WPARAM VK_F1 = 0x70;
inline constexpr WPARAM VK_F10 = 0x79;
inline constexpr WPARAM VK_F12 = 0x7B;

// Mouse-message wParam bits.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;

// WM_WINDOWPOSCHANGED's lParam points at one (valid while the message is handled).
struct WINDOWPOS {
    HWND hwnd = 0;
    HWND insertAfter = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    UINT flags = 0;
};

}  // namespace win
