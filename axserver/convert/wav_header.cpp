#include "axserver/convert/wav_header.h"

#include <cstring>
#include <limits>

namespace vexa {

namespace {

// Sizes beyond what 32 bits hold are written as the largest value.
uint32_t clampSize(int64_t value) {
    if (value < 0) {
        return 0;
    }
    return value > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                        : static_cast<uint32_t>(value);
}

void put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

WavHeader header(const kinvo::ffmpeg::PcmFormat& format, uint32_t riffSize, uint32_t dataSize) {
    WavHeader h{};
    const uint32_t block = static_cast<uint32_t>(format.bitsPerSample / 8 * format.channels);
    std::memcpy(&h[0], "RIFF", 4);
    put32(&h[4], riffSize);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    put32(&h[16], 16);
    put16(&h[20], 1);
    put16(&h[22], static_cast<uint32_t>(format.channels));
    put32(&h[24], static_cast<uint32_t>(format.sampleRate));
    put32(&h[28], block * static_cast<uint32_t>(format.sampleRate));
    put16(&h[32], block);
    put16(&h[34], static_cast<uint32_t>(format.bitsPerSample));
    std::memcpy(&h[36], "data", 4);
    put32(&h[40], dataSize);
    return h;
}

}  // namespace

WavHeader passThroughHeader(const kinvo::ffmpeg::PcmFormat& source, int64_t dataBytes) {
    int64_t riff = kWavHeaderBytes + dataBytes - 8;
    riff += riff & 1;
    return header(source, clampSize(riff), clampSize(dataBytes));
}

WavHeader convertedHeader(const kinvo::ffmpeg::PcmFormat& target, int64_t fileBytes) {
    return header(target, clampSize(fileBytes - 8), clampSize(fileBytes - kWavHeaderBytes));
}

}  // namespace vexa
