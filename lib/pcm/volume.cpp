#include "lib/pcm/volume.h"

#include <algorithm>
#include <cmath>

namespace kinvo::pcm {
namespace {

// Rounds half away from zero so that negative and positive samples fade alike; a double holds
// every 32-bit sample exactly.
int64_t scaled(int64_t sample, double gain) {
    return std::llround(static_cast<double>(sample) * gain);
}

int64_t readSample(const unsigned char* p, int32_t bits) {
    switch (bits) {
        case 8:
            return static_cast<int64_t>(p[0]) - 128;
        case 16:
            return static_cast<int16_t>(p[0] | (p[1] << 8));
        case 24: {
            const int32_t raw = p[0] | (p[1] << 8) | (p[2] << 16);
            return (raw & 0x800000) != 0 ? raw - 0x1000000 : raw;
        }
        default:
            return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (uint32_t{p[1]} << 8) |
                                        (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24));
    }
}

void writeSample(unsigned char* p, int32_t bits, int64_t value) {
    if (bits == 8) {
        p[0] = static_cast<unsigned char>(value + 128);
        return;
    }
    const auto raw = static_cast<uint32_t>(value);
    for (int32_t i = 0; i < bits / 8; ++i) {
        p[i] = static_cast<unsigned char>(raw >> (8 * i));
    }
}

}  // namespace

std::vector<double> channelGains(int32_t volume, int32_t pan, int32_t channels) {
    const double level = std::clamp(volume, 0, kFullVolume) / double{kFullVolume};
    std::vector<double> gains(static_cast<size_t>(std::max(channels, 0)), level);
    if (channels >= 2) {
        const int32_t balance = std::clamp(pan, -128, 127);
        if (balance < 0) {
            gains[1] *= (128 + balance) / 128.0;
        } else {
            gains[0] *= (127 - balance) / 127.0;
        }
    }
    return gains;
}

void scale(unsigned char* data, size_t byteCount, const Format& format, int32_t volume,
           int32_t pan) {
    const std::vector<double> gains = channelGains(volume, pan, format.channels);
    if (std::all_of(gains.begin(), gains.end(), [](double g) { return g == 1.0; })) {
        return;
    }
    const auto sampleBytes = static_cast<size_t>(bytesPerSample(format));
    const size_t frameBytes = sampleBytes * gains.size();
    const size_t frames = byteCount / frameBytes;
    for (size_t f = 0; f < frames; ++f) {
        unsigned char* frame = data + f * frameBytes;
        for (size_t c = 0; c < gains.size(); ++c) {
            unsigned char* p = frame + c * sampleBytes;
            writeSample(p, format.bits, scaled(readSample(p, format.bits), gains[c]));
        }
    }
}

}  // namespace kinvo::pcm
