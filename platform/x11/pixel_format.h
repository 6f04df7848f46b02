// (module-internal) How a TrueColor or DirectColor visual packs red, green and blue into a pixel.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/x11/window_types.h"

namespace win::x11::detail {

class PixelFormat {
  public:
    // False for visuals without colour masks (indexed colour): callers go through the colormap.
    bool describe(const ::Visual* visual);

    unsigned long pixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) const {
        return place(r, red_) | place(g, green_) | place(b, blue_);
    }
    unsigned long pixel(COLORREF colour) const {
        return pixel(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    }
    COLORREF colour(unsigned long pixel) const {
        return rgb(take(pixel, red_), take(pixel, green_), take(pixel, blue_));
    }
    // The masks of the layout whose 32-bit pixels are the bytes B, G, R, unused.
    bool isBgrx() const {
        return red_.mask == 0xFF0000 && green_.mask == 0xFF00 && blue_.mask == 0xFF;
    }

  private:
    struct Channel {
        unsigned long mask = 0;
        int shift = 0;  // of the lowest bit
        int bits = 0;
    };
    static unsigned long place(std::uint8_t value, const Channel& c) {
        return (static_cast<unsigned long>(value >> (8 - c.bits)) << c.shift) & c.mask;
    }
    static std::uint8_t take(unsigned long pixel, const Channel& c) {
        const unsigned long v = (pixel & c.mask) >> c.shift;
        // Widens to 8 bits by repeating the high bits, so full intensity stays full.
        unsigned long wide = v << (8 - c.bits);
        for (int have = c.bits; have < 8; have += c.bits) {
            wide |= v << (8 - c.bits) >> have;
        }
        return static_cast<std::uint8_t>(wide);
    }
    static Channel channel(unsigned long mask);

    Channel red_, green_, blue_;
};

}  // namespace win::x11::detail
