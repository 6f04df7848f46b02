#include "axserver/video/renderers/subtitle_painter.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <string_view>

namespace vexa::video {
namespace {

constexpr int kWeight = FC_WEIGHT_DEMIBOLD;  // 600

std::string_view textOf(const SonariSubtitle& subtitle) {
    return subtitle.text != nullptr ? std::string_view(subtitle.text) : std::string_view();
}

}  // namespace

bool SubtitlePainter::prepare(::Display* display, int screen, int clientHeight,
                              const SonariSubtitle& subtitle) noexcept {
    const int height = subtitleFontHeight(clientHeight, subtitle.fontSizeAdjust);
    if (font_ && height == height_) {
        return true;
    }
    font_ = kinvo::x11::XftFont();
    if (height <= 0) {
        return false;
    }
    font_ = kinvo::x11::XftFont::open(display, screen, "Arial", height, kWeight);
    height_ = height;
    return static_cast<bool>(font_);
}

SubtitlePlacement SubtitlePainter::place(const SonariSubtitle& subtitle,
                                         win::RECT area) const noexcept {
    const int line = font_ ? font_.get()->ascent + font_.get()->descent : 0;
    return placeSubtitle(area, subtitle.x, subtitle.y, subtitleTextHeight(textOf(subtitle), line));
}

void SubtitlePainter::paint(::Display* display, ::Drawable drawable, ::Visual* visual,
                            ::Colormap colormap, const SonariSubtitle& subtitle,
                            const SubtitlePlacement& placed,
                            std::span<const win::POINT> outline) noexcept {
    if (!font_) {
        return;
    }
    ::XftFont* font = font_.get();
    auto draw = kinvo::x11::XftDraw::create(display, drawable, visual, colormap);
    auto black = kinvo::x11::XftColor::allocate(display, visual, colormap, 0, 0, 0);
    auto colour = kinvo::x11::XftColor::allocate(display, visual, colormap, subtitle.red,
                                                 subtitle.green, subtitle.blue);
    if (!draw || !black || !colour) {
        return;
    }
    const int lineHeight = font->ascent + font->descent;
    const win::RECT& r = placed.rect;
    std::string_view rest = textOf(subtitle);
    for (int top = r.top; true; top += lineHeight) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        const auto* bytes = reinterpret_cast<const FcChar8*>(line.data());
        const int length = static_cast<int>(line.size());
        ::XGlyphInfo extents{};
        XftTextExtentsUtf8(display, font, bytes, length, &extents);
        int x = r.left;
        if (placed.align == SubtitleAlign::kCentre) {
            x = r.left + (r.width() - extents.xOff) / 2;
        } else if (placed.align == SubtitleAlign::kRight) {
            x = r.right - extents.xOff;
        }
        const int baseline = top + font->ascent;
        for (const win::POINT& offset : outline) {
            XftDrawStringUtf8(draw.get(), black.get(), font, x + offset.x, baseline + offset.y,
                              bytes, length);
        }
        XftDrawStringUtf8(draw.get(), colour.get(), font, x, baseline, bytes, length);
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
}

}  // namespace vexa::video
