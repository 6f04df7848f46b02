// Device contexts: painting inside WM_PAINT, filling, copying images and single pixels.
#include "platform/x11/paint.h"

#include <X11/Xutil.h>

#include <bit>
#include <cstring>
#include <vector>

#include "platform/messages.h"
#include "platform/window_backend.h"
#include "platform/x11/device_context.h"
#include "platform/x11/display.h"
#include "platform/x11/internal.h"

namespace win {

unsigned long DeviceContext::pixel(COLORREF colour) const {
    if (trueColour) {
        return format.pixel(colour);
    }
    XColor xc{};
    xc.red = static_cast<unsigned short>((colour & 0xFF) * 0x101);
    xc.green = static_cast<unsigned short>(((colour >> 8) & 0xFF) * 0x101);
    xc.blue = static_cast<unsigned short>(((colour >> 16) & 0xFF) * 0x101);
    return XAllocColor(dpy, colormap, &xc) != 0 ? xc.pixel : 0;
}

COLORREF DeviceContext::colour(unsigned long value) const {
    if (trueColour) {
        return format.colour(value);
    }
    XColor xc{};
    xc.pixel = value;
    XQueryColor(dpy, colormap, &xc);
    return rgb(static_cast<std::uint8_t>(xc.red >> 8), static_cast<std::uint8_t>(xc.green >> 8),
               static_cast<std::uint8_t>(xc.blue >> 8));
}

namespace {

using x11::detail::WindowState;

HDC makeDc(x11::detail::Connection& c, const WindowState& state, const RECT& clip) {
    auto dc = std::make_unique<DeviceContext>();
    dc->dpy = c.dpy;
    dc->window = state.id;
    dc->visual = state.visual;
    dc->depth = state.depth;
    dc->colormap = state.colormap;
    dc->clip = clip;
    dc->trueColour = dc->format.describe(state.visual);
    XGCValues values{};
    values.graphics_exposures = False;
    dc->gc = x11::detail::UniqueGc(c.dpy, XCreateGC(c.dpy, state.id, GCGraphicsExposures, &values));
    if (!dc->gc) {
        return nullptr;
    }
    if (!clip.empty()) {
        XRectangle r{static_cast<short>(clip.left), static_cast<short>(clip.top),
                     static_cast<unsigned short>(clip.width()),
                     static_cast<unsigned short>(clip.height())};
        XSetClipRectangles(c.dpy, dc->gc.get(), 0, 0, &r, 1, Unsorted);
    }
    return dc.release();
}

std::shared_ptr<WindowState> liveWindow(x11::detail::Connection*& c, HWND hwnd) {
    c = x11::detail::connection();
    auto state = c != nullptr ? c->find(hwnd) : nullptr;
    return state && !state->gone ? state : nullptr;
}

// Writes one pixel value into an image row as the image's byte order has it.
void storePixel(char* at, unsigned long value, int bytes, bool msbFirst) {
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (msbFirst ? bytes - 1 - i : i);
        at[i] = static_cast<char>((value >> shift) & 0xFF);
    }
}

}  // namespace

HDC beginPaint(HWND hwnd, PAINTSTRUCT& paint) {
    x11::detail::Connection* c = nullptr;
    const auto state = liveWindow(c, hwnd);
    if (!state) {
        setPaintPending(hwnd, false);
        return nullptr;
    }
    RECT area;
    bool erase = false;
    {
        std::lock_guard guard(state->paintLock);
        area = x11::detail::intersect(state->invalid, x11::detail::clientRect(*state));
        erase = state->erase;
        state->invalid = RECT{};
        state->erase = false;
        setPaintPending(hwnd, false);
    }
    // An empty area still clips everything away.
    HDC dc = makeDc(*c, *state, area.empty() ? RECT{0, 0, 0, 0} : area);
    if (dc != nullptr && area.empty()) {
        XRectangle none{0, 0, 0, 0};
        XSetClipRectangles(c->dpy, dc->gc.get(), 0, 0, &none, 1, Unsorted);
    }
    // The window erases its background itself when its procedure answers WM_ERASEBKGND with
    // nonzero; otherwise the class colour does.
    if (erase && !area.empty() &&
        sendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0 &&
        state->background != kNoBackground) {
        XClearArea(c->dpy, state->id, area.left, area.top, static_cast<unsigned>(area.width()),
                   static_cast<unsigned>(area.height()), False);
    }
    paint = PAINTSTRUCT{dc, erase, area};
    return dc;
}

void endPaint(HWND hwnd, const PAINTSTRUCT& paint) {
    releaseDC(hwnd, paint.hdc);
}

HDC getDC(HWND hwnd) {
    x11::detail::Connection* c = nullptr;
    const auto state = liveWindow(c, hwnd);
    return state ? makeDc(*c, *state, RECT{}) : nullptr;
}

void releaseDC(HWND, HDC dc) {
    if (dc != nullptr) {
        ::Display* dpy = dc->dpy;
        delete dc;
        XFlush(dpy);
    }
}

bool fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    if (dc == nullptr || rect.empty()) {
        return false;
    }
    XSetForeground(dc->dpy, dc->gc.get(), dc->pixel(colour));
    XFillRectangle(dc->dpy, dc->window, dc->gc.get(), rect.left, rect.top,
                   static_cast<unsigned>(rect.width()), static_cast<unsigned>(rect.height()));
    return true;
}

bool copyImage(HDC dc, int x, int y, int width, int height, const std::uint8_t* pixels,
               int stride) {
    if (dc == nullptr || pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4) {
        return false;
    }
    XImage* raw =
        XCreateImage(dc->dpy, dc->visual, static_cast<unsigned>(dc->depth), ZPixmap, 0, nullptr,
                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (raw == nullptr) {
        return false;
    }
    x11::detail::UniqueImage image(dc->dpy, raw);
    std::vector<char> converted;
    const bool hostOrder =
        (raw->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
    if (dc->trueColour && raw->bits_per_pixel == 32 && dc->format.isBgrx() && hostOrder) {
        // The caller's bytes are the display's pixels already.
        raw->data = const_cast<char*>(reinterpret_cast<const char*>(pixels));
        raw->bytes_per_line = stride;
    } else {
        converted.resize(static_cast<std::size_t>(raw->bytes_per_line) *
                         static_cast<std::size_t>(height));
        raw->data = converted.data();
        const int bytes = raw->bits_per_pixel / 8;
        const bool msbFirst = raw->byte_order == MSBFirst;
        const bool whole16 = dc->trueColour && raw->bits_per_pixel == 16 && hostOrder;
        if (whole16) {
            // 15 and 16-bit displays: whole pixels stored in the host's order.
            for (int row = 0; row < height; ++row) {
                const std::uint8_t* in = pixels + static_cast<std::ptrdiff_t>(row) * stride;
                char* out = raw->data + static_cast<std::ptrdiff_t>(row) * raw->bytes_per_line;
                for (int col = 0; col < width; ++col, in += 4) {
                    const auto value =
                        static_cast<std::uint16_t>(dc->format.pixel(in[2], in[1], in[0]));
                    std::memcpy(out + col * 2, &value, 2);
                }
            }
        }
        for (int row = 0; row < height && !whole16; ++row) {
            const std::uint8_t* in = pixels + static_cast<std::ptrdiff_t>(row) * stride;
            char* out = raw->data + static_cast<std::ptrdiff_t>(row) * raw->bytes_per_line;
            for (int col = 0; col < width; ++col, in += 4) {
                const unsigned long value = dc->trueColour ? dc->format.pixel(in[2], in[1], in[0])
                                                           : dc->pixel(rgb(in[2], in[1], in[0]));
                if (bytes >= 2 && raw->bits_per_pixel % 8 == 0) {
                    storePixel(out + col * bytes, value, bytes, msbFirst);
                } else {
                    XPutPixel(raw, col, row, value);
                }
            }
        }
    }
    XPutImage(dc->dpy, dc->window, dc->gc.get(), raw, 0, 0, x, y, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    raw->data = nullptr;  // the pixels are the caller's or the vector's
    return true;
}

COLORREF getPixel(HDC dc, int x, int y) {
    if (dc == nullptr) {
        return kInvalidColour;
    }
    x11::ErrorTrap trap;
    XImage* raw = XGetImage(dc->dpy, dc->window, x, y, 1, 1, AllPlanes, ZPixmap);
    x11::detail::UniqueImage image(dc->dpy, raw);
    if (trap.finish() != 0 || raw == nullptr) {
        return kInvalidColour;
    }
    return dc->colour(XGetPixel(raw, 0, 0));
}

COLORREF setPixel(HDC dc, int x, int y, COLORREF colour) {
    if (dc == nullptr) {
        return kInvalidColour;
    }
    const unsigned long value = dc->pixel(colour);
    XSetForeground(dc->dpy, dc->gc.get(), value);
    XDrawPoint(dc->dpy, dc->window, dc->gc.get(), x, y);
    return dc->colour(value);
}

}  // namespace win
