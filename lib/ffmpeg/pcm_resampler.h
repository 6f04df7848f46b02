#pragma once
// PCM to PCM conversion through libswresample: any sample rate, 8-bit unsigned, 16-, 24-
// (packed, three bytes) and 32-bit signed little-endian interleaved samples, any channel count
// (channels mixed by FFmpeg's default layouts). 24-bit samples travel as 32-bit inside, since
// libswresample has no packed 24-bit format.
//
// A PcmResampler is move-only and owns its SwrContext. It belongs to one thread at a time. Call
// order: make -> convert ... -> flush (once; the samples the resampler still holds come out) ->
// destroyed. Nothing throws; failures answer nullopt or false (error policy of lib/ffmpeg).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "lib/ffmpeg/handles.h"

namespace kinvo::ffmpeg {

struct PcmFormat {
    int32_t sampleRate = 0;
    int32_t bitsPerSample = 0;  // 8, 16, 24 or 32
    int32_t channels = 0;

    int32_t frameBytes() const noexcept { return bitsPerSample / 8 * channels; }
    bool operator==(const PcmFormat&) const = default;
};

// True for a format the resampler takes: a rate of 1 to 768000, 8/16/24/32 bits, 1 to 32
// channels.
bool resamplerTakes(const PcmFormat& format) noexcept;

class PcmResampler {
  public:
    // nullopt when either format is not taken or FFmpeg cannot set the conversion up.
    static std::optional<PcmResampler> make(const PcmFormat& from, const PcmFormat& to) noexcept;

    PcmResampler(PcmResampler&&) noexcept = default;
    PcmResampler& operator=(PcmResampler&&) noexcept = default;
    PcmResampler(const PcmResampler&) = delete;
    PcmResampler& operator=(const PcmResampler&) = delete;
    ~PcmResampler() = default;

    const PcmFormat& from() const noexcept { return from_; }
    const PcmFormat& to() const noexcept { return to_; }

    // Converts `input` (whole frames; a partial frame at the end is ignored) and appends the
    // converted bytes to `output`. False when FFmpeg fails or memory runs out.
    bool convert(std::span<const uint8_t> input, std::vector<uint8_t>& output) noexcept;
    // Appends what the resampler still holds (its filter's delay) to `output`.
    bool flush(std::vector<uint8_t>& output) noexcept;

  private:
    PcmResampler(Resampler context, const PcmFormat& from, const PcmFormat& to) noexcept
        : context_(std::move(context)), from_(from), to_(to) {}
    bool run(const uint8_t* input, int inFrames, std::vector<uint8_t>& output) noexcept;

    Resampler context_;
    PcmFormat from_;
    PcmFormat to_;
    std::vector<uint8_t> wideIn_;   // 24-bit input widened to 32 bits
    std::vector<uint8_t> wideOut_;  // 32-bit output before it is narrowed to 24 bits
};

}  // namespace kinvo::ffmpeg
