#pragma once
// The decoder of a movie's first video stream: takes the stream's packets as they are read and
// decodes one picture ahead, with its time in milliseconds from the movie's start (best effort
// timestamps). After a seek, pictures that end before the target are skipped.
//
// Threads: the movie thread's own. Error policy: open answers null (no decoder, out of memory);
// a packet the decoder refuses is skipped; nothing throws except std::bad_alloc.

#include <cstdint>
#include <memory>

#include "lib/ffmpeg/handles.h"
#include "runtimes/qtml/movie/packet_queue.h"

namespace kinvo::qtml {

class PictureDecoder {
  public:
    static constexpr size_t kMaxBacklog = 256;

    // `stream` outlives the decoder; `startTimestamp` is the movie's start in the stream's base.
    static std::unique_ptr<PictureDecoder> open(const AVStream& stream, int64_t startTimestamp);

    bool wantsPackets() const noexcept { return backlog_.size() < kMaxBacklog; }
    void push(AVPacket& packet) { backlog_.push(packet); }
    // Decodes until a picture is ready; false when more packets are needed or all is decoded.
    bool ready();
    const AVFrame& picture() const noexcept { return *frame_; }
    int64_t pictureMs() const noexcept { return pictureMs_; }
    // The shown picture is done with.
    void pop() noexcept;
    // No more packets come: what the decoder holds is given out.
    void endOfInput() noexcept { inputEnded_ = true; }
    bool finished() const noexcept { return drained_ && !hasPicture_; }
    // After a seek to `ms`: forgets the backlog, the picture and the decoder's state.
    void restart(int64_t ms);

  private:
    PictureDecoder() = default;
    int64_t toMs(int64_t timestamp) const noexcept;

    const AVStream* stream_ = nullptr;
    ffmpeg::CodecContext codec_;
    ffmpeg::Frame frame_;
    PacketQueue backlog_;
    int64_t startTimestamp_ = 0;
    int64_t frameMs_ = 40;
    int64_t pictureMs_ = 0;
    int64_t skipBeforeMs_ = -1;
    bool hasPicture_ = false;
    bool inputEnded_ = false;
    bool drainSent_ = false;
    bool drained_ = false;
};

}  // namespace kinvo::qtml
