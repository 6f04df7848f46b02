#pragma once
// Software volume and balance of interleaved PCM. A volume of 0 to 255 scales linearly (255
// leaves the sound unchanged); a balance of -128 (left only) to 127 (right only) lowers the
// other side: the first channel is the left, the second the right, the others follow the volume
// alone, and mono ignores the balance.
//
// Error policy: pure functions; out-of-range volume and balance are clamped, a buffer's partial
// frame at the end is left as it is.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lib/pcm/format.h"

namespace kinvo::pcm {

inline constexpr int32_t kFullVolume = 255;

// The linear gain of each channel, 0.0 to 1.0.
std::vector<double> channelGains(int32_t volume, int32_t pan, int32_t channels);

// Scales the samples of data in place by channelGains.
void scale(unsigned char* data, size_t byteCount, const Format& format, int32_t volume,
           int32_t pan);

}  // namespace kinvo::pcm
