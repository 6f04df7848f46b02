// Fonts (Xft through fontconfig) and text drawn into device contexts.
#include <fontconfig/fontconfig.h>

#include <string>
#include <vector>

#include "platform/x11/device_context.h"
#include "platform/x11/display.h"
#include "platform/x11/internal.h"

namespace win {
namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

int lineWidth(::Display* dpy, XftFont* font, std::string_view line) {
    XGlyphInfo extents{};
    XftTextExtentsUtf8(dpy, font, reinterpret_cast<const FcChar8*>(line.data()),
                       static_cast<int>(line.size()), &extents);
    return extents.xOff;
}

}  // namespace

HFONT createFont(std::string_view family, int height, int weight) {
    x11::detail::Connection* c = x11::detail::connection();
    if (c == nullptr || height <= 0) {
        return nullptr;
    }
    const std::string name(family);
    XftFont* font =
        XftFontOpen(c->dpy, c->screen, XFT_FAMILY, XftTypeString, name.c_str(), XFT_PIXEL_SIZE,
                    XftTypeDouble, static_cast<double>(height), XFT_WEIGHT, XftTypeInteger,
                    weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR, XFT_ANTIALIAS, XftTypeBool,
                    True, nullptr);
    if (font == nullptr) {
        return nullptr;
    }
    auto* out = new Font;
    out->font = x11::detail::UniqueFont(c->dpy, font);
    return out;
}

void deleteFont(HFONT font) {
    delete font;
}

SIZE getTextExtent(HDC dc, HFONT font, std::string_view text) {
    if (dc == nullptr || font == nullptr) {
        return {};
    }
    XftFont* f = font->font.get();
    return SIZE{lineWidth(dc->dpy, f, text), f->ascent + f->descent};
}

int drawText(HDC dc, HFONT font, std::string_view text, const RECT& rect, UINT flags,
             COLORREF colour) {
    if (dc == nullptr || font == nullptr) {
        return 0;
    }
    if (!dc->draw) {
        dc->draw = x11::detail::UniqueDraw(
            dc->dpy, XftDrawCreate(dc->dpy, dc->window, dc->visual, dc->colormap));
        if (!dc->draw) {
            return 0;
        }
    }
    XftFont* f = font->font.get();
    const int lineHeight = f->ascent + f->descent;
    const auto lines = splitLines(text);
    const int height = lineHeight * static_cast<int>(lines.size());

    RECT clip = (flags & DT_NOCLIP) != 0 ? dc->clip
                : dc->clip.empty()       ? rect
                                         : x11::detail::intersect(rect, dc->clip);
    if (!clip.empty()) {
        XRectangle r{static_cast<short>(clip.left), static_cast<short>(clip.top),
                     static_cast<unsigned short>(clip.width()),
                     static_cast<unsigned short>(clip.height())};
        XftDrawSetClipRectangles(dc->draw.get(), 0, 0, &r, 1);
    } else if ((flags & DT_NOCLIP) == 0 || !dc->clip.empty()) {
        return height;  // nothing of the text can show
    }

    XRenderColor render{};
    render.red = static_cast<unsigned short>((colour & 0xFF) * 0x101);
    render.green = static_cast<unsigned short>(((colour >> 8) & 0xFF) * 0x101);
    render.blue = static_cast<unsigned short>(((colour >> 16) & 0xFF) * 0x101);
    render.alpha = 0xFFFF;
    XftColor xftColour;
    if (!XftColorAllocValue(dc->dpy, dc->visual, dc->colormap, &render, &xftColour)) {
        return 0;
    }
    int top = (flags & DT_BOTTOM) != 0 ? rect.bottom - height : rect.top;
    for (const std::string_view line : lines) {
        const int width = lineWidth(dc->dpy, f, line);
        int x = rect.left;
        if ((flags & DT_CENTER) != 0) {
            x = rect.left + (rect.width() - width) / 2;
        } else if ((flags & DT_RIGHT) != 0) {
            x = rect.right - width;
        }
        XftDrawStringUtf8(dc->draw.get(), &xftColour, f, x, top + f->ascent,
                          reinterpret_cast<const FcChar8*>(line.data()),
                          static_cast<int>(line.size()));
        top += lineHeight;
    }
    XftColorFree(dc->dpy, dc->visual, dc->colormap, &xftColour);
    return height;
}

}  // namespace win
