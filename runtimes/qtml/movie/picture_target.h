#pragma once
// Where a movie shows its pictures: the caller's surface, given 32-bit BGRA pixels scaled to the
// movie box the caller set.
//
// Threads: present is called on the caller's thread, inside Movie::presentDue or
// Movie::presentAgain, one call at a time per movie. The pixels are valid only during the call.
// present must not throw and must not call back into the movie from inside the call.

#include <cstdint>

namespace kinvo::qtml {

class PictureTarget {
  public:
    virtual ~PictureTarget() = default;
    virtual void present(const uint8_t* bgra, int width, int height, int stride) noexcept = 0;
};

}  // namespace kinvo::qtml
