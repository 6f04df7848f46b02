#pragma once
// The device-context API: what the system draws itself into visible windows. A device context is
// had from beginPaint (inside WM_PAINT, clipped to what needs painting) or getDC, and given back
// with endPaint or releaseDC on the same thread. Colours are COLORREF; coordinates are the
// window's client coordinates. Nothing throws; failures answer false, 0 or kInvalidColour.

#include <cstdint>
#include <string_view>

#include "platform/x11/window_types.h"

namespace win {

class DeviceContext;
using HDC = DeviceContext*;
class Font;
using HFONT = Font*;

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    bool erase = false;  // the background was to be erased (it has been: by the window's
                         // answer to WM_ERASEBKGND, wParam the HDC, else the class colour)
    RECT paint;          // what needs painting
};

HDC beginPaint(HWND hwnd, PAINTSTRUCT& paint);
void endPaint(HWND hwnd, const PAINTSTRUCT& paint);
HDC getDC(HWND hwnd);
void releaseDC(HWND hwnd, HDC dc);

bool fillRect(HDC dc, const RECT& rect, COLORREF colour);
// Copies a 32-bit image (bytes B, G, R, unused per pixel, `stride` bytes per row, top row first)
// with its top-left corner at (x, y); parts outside the window are cut.
bool copyImage(HDC dc, int x, int y, int width, int height, const std::uint8_t* pixels, int stride);
inline constexpr COLORREF kInvalidColour = 0xFFFFFFFF;
COLORREF getPixel(HDC dc, int x, int y);
COLORREF setPixel(HDC dc, int x, int y, COLORREF colour);  // answers the colour set

// A font by family name ("Arial" resolves through fontconfig), height in pixels, weight (400
// normal, 700 bold), antialiased. Null when no font can be had.
HFONT createFont(std::string_view family, int height, int weight);
void deleteFont(HFONT font);

// Text drawing flags (their Windows values).
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_NOPREFIX = 0x0800;

// Width and height of the text (UTF-8) in the font, as one line.
SIZE getTextExtent(HDC dc, HFONT font, std::string_view text);
// Draws the text (UTF-8; "\n" starts a new line) in the colour on a transparent background, lines
// aligned in `rect` by the flags; answers the height of the text.
int drawText(HDC dc, HFONT font, std::string_view text, const RECT& rect, UINT flags,
             COLORREF colour);

}  // namespace win
