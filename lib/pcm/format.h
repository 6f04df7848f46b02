#pragma once
// The arithmetic of interleaved PCM: a format (rate, channels, bits per sample) and the
// conversions between bytes, frames and milliseconds. Samples are little-endian: 8-bit unsigned,
// 16-, 24- (three bytes, packed) and 32-bit signed.
//
// Error policy: pure functions without failure; a format is checked once with isValid, and the
// conversions assume a valid one. Times round down, so a position never runs ahead of the sound.

#include <cstdint>

namespace kinvo::pcm {

struct Format {
    int32_t rate = 0;  // frames per second
    int32_t channels = 0;
    int32_t bits = 0;  // 8, 16, 24 or 32
};

// A rate of 1 to 768000, 1 to 32 channels and 8, 16, 24 or 32 bits.
bool isValid(const Format& format);

inline int64_t bytesPerSample(const Format& format) {
    return format.bits / 8;
}
inline int64_t bytesPerFrame(const Format& format) {
    return bytesPerSample(format) * format.channels;
}

int64_t framesToMs(int64_t frames, int32_t rate);
int64_t msToFrames(int64_t ms, int32_t rate);
// Whole frames only: a partial frame at the end counts for nothing.
int64_t bytesToFrames(int64_t bytes, const Format& format);
int64_t framesToBytes(int64_t frames, const Format& format);
int64_t bytesToMs(int64_t bytes, const Format& format);
int64_t msToBytes(int64_t ms, const Format& format);

}  // namespace kinvo::pcm
