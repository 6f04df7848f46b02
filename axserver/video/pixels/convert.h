#pragma once
// Converting one decoded video frame into a display surface's own pixel format.
//
// Contract, for every function here:
// - Any thread may call; the functions keep no state and allocate nothing. The caller keeps the
//   frame and the surface (locked, writable, `to.height` rows of `to.pitch` bytes) valid and
//   unshared for the call.
// - The frame has the surface's width and height.
// - They return true when they drew the frame, false when the pair of frame type and surface
//   depth is not one they convert (surface depths other than 15, 16, 24 and 32, "RG24" below 32,
//   "RGB8" without a palette, unknown types, a null frame). False leaves the surface untouched.
// - Error policy: nothing throws; the only failure is "not drawn" as above.
// - Nothing outside the frame's pixels is written: the fourth byte of 32-bit pixels, the bytes
//   between a row's last pixel and the pitch, and the pixels a frame does not cover stay as they
//   were.

#include <cstdint>

#include "axserver/video/pixels/frame.h"

namespace vexa::pixels {

// "YV12": studio-range YUV (16.16 fixed point), each pixel with its 2 x 2 block's U and V. Only
// whole blocks are drawn: an odd last row or column stays as it was. A nonzero flip means the
// rows arrive bottom-up, so source row r lands on surface row height - 1 - r.
bool convertYv12(const PlaneTable& planes, bool flip, const Surface& to) noexcept;

// "YUY2" (Y0 U Y1 V) and "UYVY" (U Y0 V Y1): full-range YUV (8.8 fixed point), each pixel with
// its pair's U and V; rows 2 x width bytes apart, top row first (these take no flip). An odd last
// column stays as it was.
bool convertYuy2(const std::uint8_t* pixels, const Surface& to) noexcept;
bool convertUyvy(const std::uint8_t* pixels, const Surface& to) noexcept;

// "RG32": pixels of B, G, R, unused, rows 4 x width bytes apart. Packed at 15 and 16 bits, B, G,
// R copied at 24, each row copied whole at 32. With flip the last row in memory is the top.
bool convertRg32(const std::uint8_t* pixels, bool flip, const Surface& to) noexcept;

// "RG24": pixels of B, G, R, rows 3 x width bytes apart; drawn on 32-bit surfaces only. Flip as
// for "RG32".
bool convertRg24(const std::uint8_t* pixels, bool flip, const Surface& to) noexcept;

// "RGB8": palette indices, rows width rounded up to a multiple of 4 bytes apart, the bottom row
// first in memory. palette is kPaletteBytes long (blue, green, red, unused per entry); without
// one nothing is drawn.
bool convertRgb8(const std::uint8_t* indices, const std::uint8_t* palette,
                 const Surface& to) noexcept;

// Any frame as a renderer receives it: type is the pixel type code (fourcc.h), frame points to a
// PlaneTable for "YV12" and to the pixels otherwise; palette matters to "RGB8" only.
bool convertFrame(std::uint32_t type, const void* frame, bool flip, const std::uint8_t* palette,
                  const Surface& to) noexcept;

}  // namespace vexa::pixels
