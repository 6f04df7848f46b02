#pragma once
// Where a movie is drawn inside its window: the largest rectangle of the movie's shape, centred,
// that fits the window (the strips around it are painted black). Pure.

#include <cstdint>

#include <qtml/qtml.h>

namespace kinvo::in_mova {

// movieBox is the movie's natural box; width and height are the window's client size (both > 0).
// The result is in the window's client coordinates. A movie box without width or height fills
// the whole window.
QtmlRect letterbox(const QtmlRect& movieBox, int32_t width, int32_t height) noexcept;

inline int32_t widthOf(const QtmlRect& r) noexcept {
    return r.right - r.left;
}
inline int32_t heightOf(const QtmlRect& r) noexcept {
    return r.bottom - r.top;
}

}  // namespace kinvo::in_mova
