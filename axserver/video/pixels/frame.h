#pragma once
// What the conversions read and write: the display surface they draw into, the planes of a
// planar YUV frame, and the palette of an indexed frame. Plain views; nothing here owns memory.

#include <cstdint>

namespace vexa::pixels {

// A locked display surface. depth is bits per pixel: 15 (x555), 16 (565), 24 (B, G, R) or 32
// (B, G, R, a fourth byte the conversions never write); other depths, 8 among them, draw
// nothing. pitch is the distance in bytes from one row to the next (at least width pixels). The
// frame drawn into it has the surface's width and height.
struct Surface {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    int depth = 0;
};

// The planes of a "YV12" frame: Y at full size, U (Cb) and V (Cr) at half width and half height.
struct PlaneTable {
    const std::uint8_t* y = nullptr;
    std::int32_t yPitch = 0;
    const std::uint8_t* u = nullptr;
    std::int32_t uPitch = 0;
    const std::uint8_t* v = nullptr;
    std::int32_t vPitch = 0;
};

// An "RGB8" frame's palette is 256 entries of 4 bytes: blue, green, red, unused.
inline constexpr int kPaletteBytes = 256 * 4;

}  // namespace vexa::pixels
