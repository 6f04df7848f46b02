#pragma once
// The encoded stream as the host receives it: bytes the muxer writes wait here until encode hands
// them out, front first. The muxer may seek back (to fill in a length or a seek table at the end);
// a write over bytes still waiting changes them in place, a write over bytes already handed out
// becomes a patch that FinishAudio3 applies to the closed file. Offsets are file offsets: the host
// writes every handed-out byte in order from the start of the file.
//
// One thread at a time (the conversion's). Allocation failure throws std::bad_alloc, which the
// encoder object catches at the plug-in boundary; nothing else throws.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kinvo::enc {

struct Patch {
    int64_t offset = 0;
    std::vector<uint8_t> bytes;
};

class ByteSink {
  public:
    // Writes at the current position and moves it past the bytes.
    void write(const uint8_t* data, size_t size);
    // Moves the position: whence is SEEK_SET, SEEK_CUR or SEEK_END; answers the new position, or
    // -1 for a negative one (the position stays).
    int64_t seek(int64_t offset, int whence) noexcept;
    // Copies up to capacity waiting bytes to out and answers how many.
    size_t take(uint8_t* out, size_t capacity) noexcept;

    size_t pendingBytes() const noexcept { return pending_.size() - front_; }
    int64_t size() const noexcept { return size_; }
    // The changes to handed-out bytes, in the order the muxer made them.
    const std::vector<Patch>& patches() const noexcept { return patches_; }

  private:
    std::vector<uint8_t> pending_;  // pending_[front_..] are the stream's bytes from handedOut_
    size_t front_ = 0;
    int64_t handedOut_ = 0;  // bytes given to the host so far
    int64_t size_ = 0;       // the stream's length
    int64_t position_ = 0;   // where the next write goes
    std::vector<Patch> patches_;
};

}  // namespace kinvo::enc
