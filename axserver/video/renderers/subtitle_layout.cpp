#include "axserver/video/renderers/subtitle_layout.h"

#include <algorithm>

namespace vexa::video {

int subtitleFontHeight(int clientHeight, int sizeAdjust) noexcept {
    return clientHeight * 18 / 768 + 14 + sizeAdjust;
}

int subtitleTextHeight(std::string_view text, int lineHeight) noexcept {
    const auto newlines = std::count(text.begin(), text.end(), '\n');
    return static_cast<int>(newlines + 1) * lineHeight;
}

SubtitlePlacement placeSubtitle(win::RECT area, std::uint8_t x, std::uint8_t y,
                                int textHeight) noexcept {
    SubtitlePlacement placed{area, SubtitleAlign::kCentre, y >= 128};
    win::RECT& r = placed.rect;
    if (x < 127) {
        r.left += (r.right - r.left) * x / 256;
        placed.align = SubtitleAlign::kLeft;
    } else if (x >= 128) {
        r.right -= (r.right - r.left) * (255 - x) / 256;
        placed.align = SubtitleAlign::kRight;
    }
    r.top += ((r.bottom - textHeight) - r.top) * y / 255;
    r.bottom = r.top + textHeight;
    return placed;
}

}  // namespace vexa::video
