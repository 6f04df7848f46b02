#pragma once
// What an encoder plug-in asks of the shared FFmpeg encoder: which encoder and container, and the
// options read from its section of the options file. Plain values; no behaviour.

#include <cstdint>
#include <optional>

namespace kinvo::enc {

// The host's input: interleaved little-endian PCM, 8-bit unsigned or 16, 24 (packed in 3 bytes)
// or 32-bit signed, 1 to 8 channels in the WAVE channel order.
struct PcmFormat {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;

    int frameBytes() const noexcept { return channels * (bitsPerSample / 8); }
};

struct EncoderSettings {
    const char* encoder = nullptr;  // FFmpeg encoder name ("flac", "libmp3lame", ...)
    const char* muxer = nullptr;    // FFmpeg container name ("flac", "mp3", "ogg")
    int64_t bitRate = 0;            // bits per second; 0 leaves the encoder's default
    std::optional<double> quality;  // variable-rate quality scale, in the encoder's own units
    std::optional<int> compressionLevel;
    std::optional<int> sampleRate;  // the rate the encoder must run at (others are resampled)
    int maxChannels = 8;            // more input channels are mixed down to this many
};

}  // namespace kinvo::enc
