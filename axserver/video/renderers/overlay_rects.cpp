#include "axserver/video/renderers/overlay_rects.h"

#include <cstdint>

namespace vexa::video {
namespace {

// trunc(overflow * size / span), 0 for an empty span.
int cut(int overflow, int size, int span) noexcept {
    if (span == 0) {
        return 0;
    }
    return static_cast<int>(static_cast<std::int64_t>(overflow) * size / span);
}

int roundUp(int value, int align) noexcept {
    return (value + align - 1) / align * align;
}

}  // namespace

OverlayRects overlayRects(win::RECT destination, win::RECT monitor, int width, int height,
                          int sourceAlign, int destinationAlign) noexcept {
    OverlayRects r{{0, 0, width, height}, destination};
    win::RECT& d = r.destination;
    win::RECT& s = r.source;
    if (d.right > monitor.right) {
        s.right = width - cut(d.right - monitor.right, width, d.width());
        d.right = monitor.right;
    }
    if (d.left < monitor.left) {
        s.left = cut(monitor.left - d.left, width, d.width());
        d.left = monitor.left;
    }
    if (d.bottom > monitor.bottom) {
        s.bottom = height - cut(d.bottom - monitor.bottom, height, d.height());
        d.bottom = monitor.bottom;
    }
    if (d.top < monitor.top) {
        s.top = cut(monitor.top - d.top, height, d.height());
        d.top = monitor.top;
    }
    if (sourceAlign > 0) {
        s.left = roundUp(s.left, sourceAlign);
        s.right = roundUp(s.right, sourceAlign);
    }
    if (destinationAlign > 0) {
        d.left = roundUp(d.left, destinationAlign);
        d.right = roundUp(d.right, destinationAlign);
    }
    return r;
}

}  // namespace vexa::video
