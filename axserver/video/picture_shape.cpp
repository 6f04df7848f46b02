#include "axserver/video/picture_shape.h"

#include <cstdint>

namespace vexa::video {

namespace {

constexpr double kSmallestAspect = 0.001;

double usableAspect(double aspect) noexcept {
    return aspect > kSmallestAspect ? aspect : 1.0;
}

}  // namespace

PictureSize displaySize(int width, int height, double aspect) noexcept {
    PictureSize size{width, height};
    if (aspect > kSmallestAspect) {
        if (aspect >= 1.0) {
            size.height = static_cast<int>(height * aspect);
        } else {
            size.width = static_cast<int>(width / aspect);
        }
    }
    return size;
}

win::RECT fitPicture(win::RECT rect, int width, int height, double aspect) noexcept {
    if (width <= 0 || height <= 0) {
        return rect;
    }
    const double displayed = height * usableAspect(aspect);
    const std::int64_t w = rect.width();
    const std::int64_t h = rect.height();
    const auto fitH = static_cast<std::int64_t>(static_cast<double>(w) * displayed / width);
    const auto fitW = static_cast<std::int64_t>(static_cast<double>(width * h) / displayed);
    if (h > fitH) {
        const auto pad = static_cast<std::int32_t>(h - fitH);
        rect.top += pad / 2;
        rect.bottom -= pad - pad / 2;
    } else if (w > fitW) {
        const auto pad = static_cast<std::int32_t>(w - fitW);
        rect.left += pad / 2;
        rect.right -= pad - pad / 2;
    }
    return rect;
}

}  // namespace vexa::video
