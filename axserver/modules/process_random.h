// vexahost's one random generator: a linear congruential generator whose state starts at 1 and
// is never reseeded, so every fresh process draws the same sequence. The playlist's randomise
// and the playback controller's shuffle order share it.
//
// Main thread only (like every playlist and playback operation); nothing throws.
#pragma once

#include <cstdint>

namespace vexa {

class RandomGenerator {
  public:
    // state := state * 214013 + 2531011 (modulo 2^32); the draw is bits 16 to 30: 0 to 0x7FFF.
    int32_t draw() noexcept {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int32_t>((state_ >> 16) & 0x7FFFu);
    }

  private:
    uint32_t state_ = 1;
};

// The process's generator.
inline RandomGenerator& processRandom() noexcept {
    static RandomGenerator generator;
    return generator;
}

}  // namespace vexa
