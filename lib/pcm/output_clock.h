#pragma once
// The position of an output: a base in milliseconds (0 at open, the asked position after a
// flush) plus the frames written since then. The output says how many of those have been heard;
// the clock turns both counts into times.
//
// Error policy: none can fail; a played count beyond the written one counts as all written
// (the device may report a little more after an underrun), a negative one as none.
// Threading: a plain value; the output that owns it guards it with its own lock.

#include <cstdint>

#include "lib/pcm/format.h"

namespace kinvo::pcm {

class OutputClock {
  public:
    // A new stream of this format, at position 0.
    void start(const Format& format);
    // Everything written is dropped; the position continues from ms.
    void restart(int64_t ms);
    void addWrittenBytes(int64_t bytes);

    int64_t writtenFrames() const { return writtenFrames_; }
    int64_t writtenMs() const;
    // The position of the frame being heard when playedFrames of the written ones are done.
    int64_t playedMs(int64_t playedFrames) const;

  private:
    Format format_{44100, 2, 16};
    int64_t baseMs_ = 0;
    int64_t writtenFrames_ = 0;
    int64_t partialBytes_ = 0;  // bytes of a frame not yet complete
};

}  // namespace kinvo::pcm
