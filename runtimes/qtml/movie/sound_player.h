#pragma once
// A movie's sound, played straight to the sound server: decodes the first audio stream's packets,
// converts them to interleaved signed 16-bit PCM at the stream's rate (one or two channels, more
// mixed down to two) and writes them to a PlaybackStream as fast as the server takes them. Its
// played time (what was written, less the stream's latency) is the clock the pictures follow.
//
// Threads: the movie thread's own; the PlaybackStream runs libpulse's loop on a thread of its own.
// Error policy: open answers null when there is no decoder or no sound server can be reached
// within kConnectLimit (the movie then plays without sound); a packet the decoder refuses is
// skipped; a server that goes away leaves the sound silent. Nothing throws except std::bad_alloc.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "lib/ffmpeg/handles.h"
#include "lib/pulse/playback_stream.h"
#include "runtimes/qtml/movie/packet_queue.h"

namespace kinvo::qtml {

class SoundPlayer {
  public:
    static constexpr std::chrono::milliseconds kConnectLimit{2000};
    static constexpr size_t kMaxBacklog = 256;
    // What the server holds ahead of what is heard.
    static constexpr uint32_t kBufferMs = 300;

    // `stream` outlives the player; `volume` as Movie::setVolume.
    static std::unique_ptr<SoundPlayer> open(const AVStream& stream, int volume);

    bool wantsPackets() const noexcept { return backlog_.size() < kMaxBacklog; }
    void push(AVPacket& packet) { backlog_.push(packet); }
    // Decodes and writes as much as the server takes now.
    void pump();
    // No more packets come: the decoder gives out what it holds and the server plays it all.
    void endOfInput() noexcept { inputEnded_ = true; }
    // Everything to the end of the input has been decoded, written and heard (or the server
    // went away).
    bool finished() const;
    // Milliseconds of the movie heard now; empty before the server's first timing.
    std::optional<int64_t> playedMs() const;
    void setPaused(bool paused);
    void setVolume(int volume);
    // After a seek to `ms`: drops what is buffered; samples before `ms` are skipped.
    void restart(int64_t ms);

  private:
    SoundPlayer() = default;
    void decodeNext();
    void convert(const AVFrame& frame);

    const AVStream* stream_ = nullptr;
    ffmpeg::CodecContext codec_;
    ffmpeg::Frame frame_;
    ffmpeg::Resampler resampler_;
    pulse::PlaybackStream output_;
    PacketQueue backlog_;
    std::vector<uint8_t> pcm_;  // converted and not yet written
    size_t pcmOffset_ = 0;
    int rate_ = 0;
    int channels_ = 0;
    int64_t startMs_ = 0;        // the movie time of the first sample written since the restart
    int64_t writtenFrames_ = 0;  // since the restart
    int64_t skipBeforeMs_ = -1;
    bool inputEnded_ = false;
    bool drainSent_ = false;
    bool triggered_ = false;
};

}  // namespace kinvo::qtml
