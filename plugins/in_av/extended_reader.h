#pragma once
// Reading a local file's sound without playing it: one Source of its own per reader, decoded as
// fast as the decoder goes into interleaved signed 16-bit little-endian PCM at the stream's own
// rate and with all of its channels in the stream's order. A source of 8, 24 or 32-bit integer
// PCM is read as 16-bit too (one width for every file keeps the reading simple; FFmpeg's tool
// gives the same bytes for "-f s16le"). The pictures and subtitles of the file are not read.
//
// Threads: a reader belongs to one thread at a time (made on one, read and dropped on another
// is fine); readers share nothing, so any number may read at once, beside a Player.
// Call order: open -> read ... (until it answers 0 or less) -> destroy.
// Error policy: open answers null and a text for the user; read answers -1 on a read failure
// (after handing over what was decoded before it). Nothing throws out of read; open throws
// std::bad_alloc only.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lib/ffmpeg/handles.h"
#include "plugins/in_av/source.h"

namespace kinvo::in_av {

class ExtendedReader {
  public:
    struct Format {
        int32_t sampleRate = 0;
        int32_t channels = 0;
        int32_t bitsPerSample = 16;
        // The PCM's expected size from the container's duration, whole frames; 0 unknown or
        // past what an int32_t holds.
        int32_t totalBytes = 0;
    };

    // Opens `path`, a local file (a network address is refused). On failure answers null and
    // sets `error`: "cannot open <path>: <reason>" when the file cannot be read, "not an audio
    // file: <path>" when it can but holds no sound FFmpeg decodes.
    static std::unique_ptr<ExtendedReader> open(const std::string& path, std::string& error);

    const Format& format() const noexcept { return format_; }

    // Fills `buffer` with at most `size` bytes, whole frames, decoding as needed; answers the
    // count, 0 at the end of the sound (and for a buffer smaller than a frame), -1 on a read
    // failure. Returns early with what it has once `*stop` is nonzero (checked between packets;
    // `stop` may be null).
    int32_t read(char* buffer, int32_t size, const volatile int32_t* stop) noexcept;

  private:
    explicit ExtendedReader(std::unique_ptr<Source> source) noexcept;
    // Decodes the next packet into pending_; false when nothing more comes.
    bool decodeMore();

    std::unique_ptr<Source> source_;
    Format format_;
    size_t frameBytes_ = 0;
    ffmpeg::Packet packet_;
    std::vector<char> pending_;  // decoded, not yet handed over, from pendingOffset_
    size_t pendingOffset_ = 0;
    bool ended_ = false;   // the decoder has been drained
    bool failed_ = false;  // a read failed: -1 once pending_ is handed over
};

}  // namespace kinvo::in_av
