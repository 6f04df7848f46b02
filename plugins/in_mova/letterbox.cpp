#include "plugins/in_mova/letterbox.h"

#include <algorithm>

namespace kinvo::in_mova {

namespace {

int16_t clamp16(int64_t value) {
    return static_cast<int16_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

QtmlRect letterbox(const QtmlRect& movieBox, int32_t width, int32_t height) noexcept {
    QtmlRect out{0, 0, clamp16(height), clamp16(width)};
    if (widthOf(movieBox) <= 0 || heightOf(movieBox) <= 0 || width <= 0 || height <= 0) {
        return out;
    }
    const double movieAspect =
        static_cast<double>(widthOf(movieBox)) / static_cast<double>(heightOf(movieBox));
    const double windowAspect = static_cast<double>(width) / static_cast<double>(height);
    if (movieAspect > windowAspect) {
        const auto h = static_cast<int64_t>(windowAspect / movieAspect * height);
        out.top = clamp16((height - h) / 2);
        out.bottom = clamp16(out.top + h);
    } else {
        const auto w = static_cast<int64_t>(movieAspect / windowAspect * width);
        out.left = clamp16((width - w) / 2);
        out.right = clamp16(out.left + w);
    }
    return out;
}

}  // namespace kinvo::in_mova
