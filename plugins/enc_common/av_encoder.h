#pragma once
// PCM into an encoded container through FFmpeg: input is unpacked (24-bit), resampled and
// converted by libswresample to what the encoder takes, cut into the encoder's frames and muxed
// into a ByteSink that the caller drains. The sink is seekable, so muxers that fill in lengths or
// seek tables at the end do so (see ByteSink for how such late writes reach the file).
//
// One thread at a time (the conversion's). Error policy: open answers null with a text, write and
// finish answer false on an FFmpeg error and the object is unusable after; allocation failure
// throws std::bad_alloc (the encoder object catches it at the plug-in boundary).
//
// Order: open (the container's header is already in the sink) -> write ... -> finish (the
// resampler's and encoder's last samples, then the trailer) -> destruction.

#include <memory>
#include <string>
#include <vector>

#include "lib/ffmpeg/handles.h"
#include "plugins/enc_common/byte_sink.h"
#include "plugins/enc_common/encoder_settings.h"
#include "plugins/enc_common/handles.h"

namespace kinvo::enc {

class AvEncoder {
  public:
    static std::unique_ptr<AvEncoder> open(const PcmFormat& input, const EncoderSettings& settings,
                                           std::string& error);
    AvEncoder(const AvEncoder&) = delete;
    AvEncoder& operator=(const AvEncoder&) = delete;
    ~AvEncoder();

    // Encodes frames whole sample frames of input PCM.
    bool write(const uint8_t* pcm, size_t frames);
    // Drains the resampler and the encoder and writes the trailer; once, after the last write.
    bool finish();

    ByteSink& sink() noexcept { return sink_; }
    const AVCodecContext& codec() const noexcept { return *codec_; }

  private:
    AvEncoder() = default;
    bool convert(const uint8_t* const* planes, int frames);
    bool sendFrames(bool all);
    bool sendFrame(AVFrame* frame);

    static int writePacket(void* opaque, uint8_t* data, int size) noexcept;
    static int64_t seekPacket(void* opaque, int64_t offset, int whence) noexcept;

    PcmFormat input_;
    ByteSink sink_;
    ffmpeg::CodecContext codec_;
    IoContext io_;  // freed after the muxer that writes to it
    OutputContext muxer_;
    ffmpeg::Resampler resampler_;
    AudioFifo queue_;        // converted samples not yet in a frame
    ffmpeg::Frame scratch_;  // the resampler's output, grown as needed
    ffmpeg::Packet packet_;
    std::vector<int32_t> widened_;  // 24-bit input as 32-bit samples
    int frameSize_ = 0;             // samples per frame the encoder takes
    int64_t nextPts_ = 0;
};

}  // namespace kinvo::enc
