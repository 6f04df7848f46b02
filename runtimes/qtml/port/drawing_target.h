#pragma once
// A surface the runtime draws movie pictures into: a registered window or an off-screen buffer.
//
// Threads: the runtime calls draw with its lock held, one call at a time. Error policy: draw
// never throws and never fails loudly: what falls outside the surface is clipped, a surface that
// is gone draws nothing.

#include <cstdint>

namespace kinvo::qtml {

class DrawingTarget {
  public:
    virtual ~DrawingTarget() = default;
    // Draws `width` x `height` BGRA pixels (rows `stride` bytes apart) with their top left
    // corner at (x, y) of the surface.
    virtual void draw(const uint8_t* bgra, int width, int height, int stride, int x,
                      int y) noexcept = 0;
};

}  // namespace kinvo::qtml
