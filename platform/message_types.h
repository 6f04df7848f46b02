#pragma once
// The Windows message vocabulary of the platform layer: handle and parameter types with their
// Windows widths on x86-64, the message numbers the system uses, the flags of the queue calls and
// the MSG record. Plain values only; nothing here has behaviour.

#include <cstdint>

namespace win {

using HWND = std::uint32_t;  // 0 = none
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window procedure. Called on the thread that owns the window; must not throw.
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Message numbers keep their Windows values.
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_USER = 0x0400;

// Class styles.
inline constexpr UINT CS_DBLCLKS = 0x0008;

// peekMessage removal flags.
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

// sendMessageTimeout flags. Only SMTO_NORMAL behaviour is provided: the caller always handles
// messages sent to its own windows while it waits (the other flags are accepted and ignored).
inline constexpr UINT SMTO_NORMAL = 0x0000;
inline constexpr UINT SMTO_BLOCK = 0x0001;
inline constexpr UINT SMTO_ABORTIFHUNG = 0x0002;

inline constexpr UINT kInfinite = 0xFFFFFFFF;

struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::uint32_t time = 0;  // milliseconds of the monotonic clock when queued
};

}  // namespace win
