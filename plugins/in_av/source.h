#pragma once
// One opened input and the decoder of its first audio stream: reads that stream's packets (and
// those of its first video stream that is not a cover picture, decoded elsewhere), decodes the
// sound and converts it to interleaved signed 16-bit PCM at the stream's rate, keeping one or two
// channels and down-mixing more to two (or, when asked, every channel in the stream's own layout).
// An input with pictures and no sound opens too.
//
// Threads: a Source belongs to the decode thread, which may block in open and read (an
// interrupt callback given to open aborts them); it is made and dropped on the main thread only
// while no decode thread runs.
// Error policy: open answers null with FFmpeg's error text; read answers FFmpeg's codes; decode
// skips data the decoder refuses (a corrupt file plays what can be played). Nothing throws
// except std::bad_alloc from the PCM vector.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lib/ffmpeg/handles.h"

namespace kinvo::in_av {

// The channels of the PCM: one or two, more mixed down to two (for playing), or all of the
// stream's own in its own order (for reading without playing).
enum class ChannelPolicy { kUpToTwo, kKeepAll };

class Source {
  public:
    // Opens `url` (a path or an address) and its first audio stream's decoder. `interrupt` may be
    // null; network opens get a read timeout and ask for stream titles.
    static std::unique_ptr<Source> open(const std::string& url, const AVIOInterruptCB* interrupt,
                                        bool network, std::string& error,
                                        ChannelPolicy channels = ChannelPolicy::kUpToTwo);

    // Stops reading the pictures and the subtitles: read then answers the sound's packets only.
    void keepSoundOnly() noexcept;

    // Whether there is sound; without it the decode entries must not be called.
    bool hasAudio() const noexcept { return streamIndex_ >= 0; }
    // The video stream read beside the sound (null: none).
    const AVStream* videoStream() const noexcept {
        return videoIndex_ >= 0 ? format_->streams[videoIndex_] : nullptr;
    }
    bool isVideo(const AVPacket& packet) const noexcept {
        return videoIndex_ >= 0 && packet.stream_index == videoIndex_;
    }
    // The first subtitle stream in text form, read beside the pictures (null: none).
    const AVStream* subtitleStream() const noexcept {
        return subtitleIndex_ >= 0 ? format_->streams[subtitleIndex_] : nullptr;
    }
    bool isSubtitle(const AVPacket& packet) const noexcept {
        return subtitleIndex_ >= 0 && packet.stream_index == subtitleIndex_;
    }

    // The PCM format of the output (0 without sound).
    int32_t sampleRate() const noexcept { return sampleRate_; }
    int32_t channels() const noexcept { return channels_; }
    // Length in milliseconds, -1 unknown (a live stream); bit rate in kbit/s, 0 unknown.
    int32_t lengthMs() const noexcept { return lengthMs_; }
    int32_t bitrateKbps() const noexcept { return bitrateKbps_; }

    // The next packet of the audio or the video stream into `packet`: 0, or AVERROR_EOF,
    // AVERROR(EAGAIN), AVERROR_EXIT (interrupted) or another AVERROR code.
    int read(ffmpeg::Packet& packet) noexcept;
    // Whether the packet counts in a read-ahead measured in time: the sound's, or the pictures'
    // when there is no sound.
    bool isTimed(const AVPacket& packet) const noexcept {
        return packet.stream_index == (streamIndex_ >= 0 ? streamIndex_ : videoIndex_);
    }
    // A packet's duration in milliseconds (0 when the container does not say).
    int64_t durationMs(const AVPacket& packet) const noexcept;

    // Decodes one packet and appends its PCM to `pcm`; a null packet drains the decoder.
    void decode(const AVPacket* packet, std::vector<char>& pcm);

    // Moves to `ms`: the PCM that follows starts at that position (samples before it in the
    // frame landed on are dropped). False when the input cannot seek.
    bool seek(int64_t ms) noexcept;

    // The stream title of an ICY stream's latest metadata ("" when none).
    std::string streamTitle() const;
    // The open container, its stream information read.
    const AVFormatContext& format() const noexcept { return *format_.get(); }

  private:
    Source() = default;
    bool openAudio(std::string& error);
    void receiveFrames(std::vector<char>& pcm);
    void convert(const AVFrame& frame, std::vector<char>& pcm);
    bool configureResampler(const AVFrame& frame) noexcept;

    ffmpeg::FormatContext format_;
    ffmpeg::CodecContext codec_;
    ffmpeg::Frame frame_;
    ffmpeg::Resampler resampler_;
    int streamIndex_ = -1;  // the sound's
    int videoIndex_ = -1;
    int subtitleIndex_ = -1;
    ChannelPolicy channelPolicy_ = ChannelPolicy::kUpToTwo;
    AVRational timeBase_{1, 1000};
    int32_t sampleRate_ = 0;
    int32_t channels_ = 0;
    int32_t lengthMs_ = -1;
    int32_t bitrateKbps_ = 0;
    // The input format the resampler was made for.
    int inFormat_ = -1;
    int inRate_ = 0;
    int inChannels_ = 0;
    uint64_t inMask_ = 0;
    // After a seek: PCM before this position is dropped (-1: nothing to drop).
    int64_t dropBeforeMs_ = -1;
};

}  // namespace kinvo::in_av
