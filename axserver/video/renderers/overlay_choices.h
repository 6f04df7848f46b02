#pragma once
// What the overlay asks of an XVideo port: the packed formats to try for a stream type, in
// order, and the colour key with its raw pixel value for the window's format. Pure; any thread.

#include <array>
#include <cstdint>

#include "platform/x11/window_types.h"

namespace vexa::video {

// Up to two packed formats ("YUY2", "UYVY"), the first to try first; count 0 for types the
// overlay does not show.
struct OverlayFormats {
    std::array<std::uint32_t, 2> formats{};
    int count = 0;
};
OverlayFormats overlayFormats(std::uint32_t type) noexcept;

// The channel masks of a true-colour visual.
struct PixelMasks {
    unsigned long red = 0, green = 0, blue = 0;
};

struct OverlayKey {
    win::COLORREF colour;  // RGB(16, 0, 16), or magenta at 8 bits
    unsigned long value;   // the colour as a pixel of the display
};

// depth is the display's (8, 15, 16, 24 or 32). With masks the value is the key colour as that
// visual stores it; without (a visual of another class) the preset value for the depth stays.
OverlayKey overlayKey(int depth, const PixelMasks* masks) noexcept;

}  // namespace vexa::video
