#pragma once
// The wave-out volume on Linux: the sound server's default sink (PulseAudio, or PipeWire through
// its PulseAudio service), reached through lib/pulse. Each call connects, sets the sink's volume
// and disconnects, waiting at most the given time; the left level goes to the sink's left-side
// channels, the right level to its right-side ones, and channels of neither side take the
// louder of the two.
//
// Error policy: no sound server, no default sink, a refused change or a time-out make
// setVolume answer false; nothing is reported, nothing throws, and no server is ever started
// for the call. User-interface thread; blocks for at most the time-out.

#include "browser/core/wave_out.h"

#include <chrono>
#include <cstdint>

namespace kinvo {

class PulseWaveOut : public WaveOut {
  public:
    explicit PulseWaveOut(std::chrono::milliseconds timeout = std::chrono::milliseconds(1500))
        : timeout_(timeout) {}

    bool setVolume(std::uint32_t leftLowRightHigh) override;

  private:
    std::chrono::milliseconds timeout_;
};

// The sink volume (0 to PA_VOLUME_NORM) for a 16-bit wave-out level.
std::uint32_t pulseVolumeFor(std::uint16_t level);

}  // namespace kinvo
