#pragma once
// Moving frames into a packed YUV image ("YUY2": Y0 U Y1 V, "UYVY": U Y0 V Y1) as the overlay
// shows it: bytes only, no colour conversion. Any thread; nothing allocated; the caller keeps
// the frame and the image valid for the call.

#include <cstdint>

#include "axserver/video/pixels/frame.h"

namespace vexa::video {

// The image written into: width x height pixels (the frame's size) in rows `pitch` bytes apart;
// `rows` is how many rows the memory holds (at least height).
struct PackedImage {
    std::uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    int rows = 0;
    bool uyvy = false;
};

// "YV12" planes, two rows and two columns at a time, both rows of a pair with their chroma row;
// a last odd row or column stays as it was. With flip the rows are written bottom-up.
void packYv12(const vexa::pixels::PlaneTable& planes, bool flip, const PackedImage& to) noexcept;

// A packed frame (rows 2 x width bytes apart, in UYVY order when frameUyvy): each row copied,
// the bytes of every pair swapped when the frame's order is not the image's. With flip the rows
// are written bottom-up.
void copyPacked(const std::uint8_t* frame, bool frameUyvy, bool flip,
                const PackedImage& to) noexcept;

// Black in the image's order over all its rows.
void fillBlack(const PackedImage& to) noexcept;

}  // namespace vexa::video
