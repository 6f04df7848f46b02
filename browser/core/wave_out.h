#pragma once
// The system's wave-out volume, as the volume commands set it. The value carries the left
// channel's level (0 to 65535) in its low 16 bits and the right channel's in its high 16 bits.
// A device that can't be reached is not an error the caller sees: the call is simply without
// effect. The browser never reads the volume back.

#include <cstdint>

namespace kinvo {

class WaveOut {
  public:
    virtual ~WaveOut() = default;
    // Sets the default output's volume; false when it could not be set (ignored by callers).
    virtual bool setVolume(std::uint32_t leftLowRightHigh) = 0;
};

}  // namespace kinvo
