#pragma once
// The overlay's source and destination rectangles: the fitted picture cut to its monitor, the
// source cut in the same proportion, then rounded to the device's alignment. Pure arithmetic;
// any thread.

#include "platform/x11/window_types.h"

namespace vexa::video {

struct OverlayRects {
    win::RECT source;       // in the frame's pixels
    win::RECT destination;  // in the coordinates the destination and monitor were given in
};

// destination is the fitted picture and monitor the whole monitor, both in one coordinate system
// (screen coordinates here). The edges are cut right, left, bottom, top, each source cut
// truncated. An alignment of 0 rounds nothing; otherwise that side's left and right round up to
// a multiple of it.
OverlayRects overlayRects(win::RECT destination, win::RECT monitor, int width, int height,
                          int sourceAlign, int destinationAlign) noexcept;

}  // namespace vexa::video
