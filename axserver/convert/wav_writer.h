#pragma once
// The host's own encoder for "WAV ": an encoder object (include/sonari/encoder.h) that the
// conversion drives exactly as it drives a library's, writing PCM after 44 bytes of room it
// reserves for the header, converted through libswresample when the wanted format differs.
//
// Contract: one conversion thread calls encode (as encoder.h says), then drain once when the
// decoder has ended, then encode without input until a call uses and writes nothing (the
// resampler's tail comes out there), then header() for the 44 bytes to write over the start of
// the file. Nothing throws; a resampler failure answers -1 from encode.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "axserver/convert/encoder_object.h"
#include "axserver/convert/wav_header.h"
#include "lib/ffmpeg/pcm_resampler.h"

namespace vexa {

// The WAV parameters that follow a "WAV " type: rate 0, or the source's own values, mean the
// samples pass through unchanged.
struct WavParameters {
    int32_t sampleRate = 0;
    int32_t bitsPerSample = 0;
    int32_t channels = 0;
};

class WavWriter final : public SonariEncoder {
  public:
    // Bytes of input buffered for one conversion step.
    static constexpr size_t kConvertBlock = 0x20000;

    // Null when a conversion is wanted and cannot be set up (a format the resampler refuses).
    static EncoderObject make(const kinvo::ffmpeg::PcmFormat& source,
                              const WavParameters& wanted) noexcept;
    // The writer behind an encoder object this class made; null for any other object.
    static WavWriter* of(SonariEncoder* encoder) noexcept;

    // The decoder has ended: the next encode calls without input hand out the resampler's tail.
    void drain() noexcept { draining_ = true; }
    // The header for what has been handed out so far.
    WavHeader header() const noexcept;
    bool converting() const noexcept { return resampler_.has_value(); }

  private:
    WavWriter(const kinvo::ffmpeg::PcmFormat& source,
              std::optional<kinvo::ffmpeg::PcmResampler> resampler) noexcept
        : source_(source), resampler_(std::move(resampler)) {}
    int32_t encode(const uint8_t* input, int32_t inputBytes, int32_t* inputUsed, uint8_t* output,
                   int32_t capacity) noexcept;
    static const SonariEncoderOps kOps;

    kinvo::ffmpeg::PcmFormat source_;
    std::optional<kinvo::ffmpeg::PcmResampler> resampler_;  // none: samples pass through
    bool headerReserved_ = false;
    bool draining_ = false;
    bool flushed_ = false;
    int64_t dataBytes_ = 0;         // sample bytes handed out
    int64_t inputBytes_ = 0;        // source bytes taken
    std::vector<uint8_t> pending_;  // converted bytes not yet handed out, from pendingAt_
    size_t pendingAt_ = 0;
};

}  // namespace vexa
