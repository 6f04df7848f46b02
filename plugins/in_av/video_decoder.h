#pragma once
// The decoder of the video stream a Source reads: takes the stream's packets as they are read
// (interleaved with the sound's), decodes them ahead into a small queue of pictures and hands
// them out in order with their times, so that the sound is never held up by the pictures.
//
// Packets wait in a backlog (at most kMaxBacklog) while the picture queue (at most kMaxQueued)
// is full; the reader stops reading while wantsPackets() is false. Times are milliseconds from
// the stream's start (best effort timestamps).
//
// Threads: the decode thread's own (made and dropped on the main thread while no decode thread
// runs). Error policy: open answers null (no decoder, out of memory); a packet the decoder
// refuses is skipped; nothing throws except std::bad_alloc.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "lib/ffmpeg/handles.h"

namespace kinvo::in_av {

class VideoDecoder {
  public:
    static constexpr size_t kMaxQueued = 8;
    static constexpr size_t kMaxBacklog = 128;

    // `stream` belongs to `format`, which outlives the decoder.
    static std::unique_ptr<VideoDecoder> open(const AVFormatContext& format,
                                              const AVStream& stream);

    bool wantsPackets() const noexcept { return backlog_.size() < kMaxBacklog; }
    // Takes the packet's data (the packet is left empty for the next read).
    void push(AVPacket& packet);
    // No more packets will come: the decoder gives out what it still holds.
    void endOfInput() noexcept { inputEnded_ = true; }
    // Decodes from the backlog until the queue is full or the backlog is used.
    void decode();

    // The oldest queued picture (null: none yet) and its time in milliseconds.
    const AVFrame* front() const noexcept { return count_ > 0 ? queue_[head_].get() : nullptr; }
    int64_t frontMs() const noexcept;
    // One picture's duration: from the stream's average frame rate (40 ms when unknown).
    int64_t frameMs() const noexcept { return defaultDurationMs_; }
    void pop() noexcept;
    // Everything has been decoded and handed out.
    bool finished() const noexcept { return drained_ && count_ == 0; }

    // After a seek to `ms`: forgets the backlog, the queue and the decoder's state; pictures before
    // `ms` are skipped.
    void restart(int64_t ms) noexcept;
    // The pixel aspect as the video output takes it: the shown height over the height for the
    // picture's width (1 when unknown).
    double aspect(const AVFrame& frame) const noexcept;

  private:
    VideoDecoder() = default;
    bool receive() noexcept;
    int64_t toMs(int64_t timestamp) const noexcept;

    const AVFormatContext* format_ = nullptr;
    const AVStream* stream_ = nullptr;
    ffmpeg::CodecContext codec_;
    std::deque<ffmpeg::Packet> backlog_;
    std::vector<ffmpeg::Packet> spare_;  // emptied packets kept for the next ones
    std::vector<ffmpeg::Frame> queue_;   // a ring of kMaxQueued frames
    size_t head_ = 0;
    size_t count_ = 0;
    int64_t startTimestamp_ = 0;
    int64_t defaultDurationMs_ = 40;
    int64_t skipBeforeMs_ = -1;  // after a seek; -1 none
    bool inputEnded_ = false;
    bool drainSent_ = false;
    bool drained_ = false;
};

}  // namespace kinvo::in_av
