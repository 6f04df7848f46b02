#pragma once
// What the video window shows while no stream is open: our logo on a flat background, or a black
// picture, 320 x 240 each, and where it goes in a window of any size. Pure code; any thread.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/x11/window_types.h"

namespace vexa::video {

// A 32-bit picture: bytes B, G, R, unused per pixel, rows width x 4 bytes apart, top row first.
struct IdlePicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    int stride() const noexcept { return width * 4; }
    // The colour of the top-left pixel, which fills the rest of the window.
    win::COLORREF cornerColour() const noexcept;
};

IdlePicture makeLogoPicture();
IdlePicture makeBlankPicture();

struct IdleLayout {
    win::POINT origin;  // where the picture's top-left corner goes (negative when it is larger)
    // Above, below, left of and right of the picture; empty ones are skipped by the painter.
    std::array<win::RECT, 4> strips;
};

// The picture unscaled in the middle (integer division, truncating), the strips around it.
IdleLayout idleLayout(int clientWidth, int clientHeight, int pictureWidth,
                      int pictureHeight) noexcept;

}  // namespace vexa::video
