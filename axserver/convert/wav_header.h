#pragma once
// The 44-byte RIFF WAVE header the WAV writer puts over the room it reserved at the start of the
// file: "RIFF", size, "WAVE", a 16-byte "fmt " chunk (tag 1, channels, rate, bytes per second,
// block alignment, bits) and "data" with its size, every number little-endian. Pure; any thread.
#include <array>
#include <cstdint>

#include "lib/ffmpeg/pcm_resampler.h"

namespace vexa {

inline constexpr int32_t kWavHeaderBytes = 44;

using WavHeader = std::array<uint8_t, kWavHeaderBytes>;

// Samples written as they came: the header describes the source format; the RIFF size is
// 44 + dataBytes - 8 rounded up to even, the data size dataBytes.
WavHeader passThroughHeader(const kinvo::ffmpeg::PcmFormat& source, int64_t dataBytes);

// Converted samples: the header describes the target format; the RIFF size is fileBytes - 8 and
// the data size fileBytes - 44.
WavHeader convertedHeader(const kinvo::ffmpeg::PcmFormat& target, int64_t fileBytes);

}  // namespace vexa
