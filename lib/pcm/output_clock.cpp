#include "lib/pcm/output_clock.h"

#include <algorithm>

namespace kinvo::pcm {

void OutputClock::start(const Format& format) {
    format_ = format;
    restart(0);
}

void OutputClock::restart(int64_t ms) {
    baseMs_ = ms;
    writtenFrames_ = 0;
    partialBytes_ = 0;
}

void OutputClock::addWrittenBytes(int64_t bytes) {
    partialBytes_ += bytes;
    const int64_t frames = bytesToFrames(partialBytes_, format_);
    writtenFrames_ += frames;
    partialBytes_ -= framesToBytes(frames, format_);
}

int64_t OutputClock::writtenMs() const {
    return baseMs_ + framesToMs(writtenFrames_, format_.rate);
}

int64_t OutputClock::playedMs(int64_t playedFrames) const {
    return baseMs_ + framesToMs(std::clamp<int64_t>(playedFrames, 0, writtenFrames_), format_.rate);
}

}  // namespace kinvo::pcm
