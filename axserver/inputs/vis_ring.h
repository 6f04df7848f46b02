// The visualisation ring: where input plug-ins put spectrum data. Nothing in the system reads it;
// the host only accepts the data, so plug-ins that feed it work as they expect.
//
// Threads: any plug-in thread; every member is guarded by mutex_.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vexa {

class VisRing {
  public:
    static constexpr size_t kValues = 75;
    // Upper bound of the ring size, far above any real latency and rate (10 s at 384 kHz gives
    // 8533), so that no arguments make the host allocate without limit.
    static constexpr int64_t kMaxFrames = 65536;

    // max(1, maxLatencyMs x sampleRate / 450000) rounded to the nearest, capped at kMaxFrames.
    static int64_t framesFor(int32_t maxLatencyMs, int32_t sampleRate) noexcept;

    // Prepares a ring of framesFor(...) empty slots, replacing an earlier one.
    void init(int32_t maxLatencyMs, int32_t sampleRate) noexcept;
    // Drops the ring.
    void quit() noexcept;
    // Stores the values, the timestamp and the kind in the next slot: 1 when there is no ring
    // (or values is null), else 0.
    int32_t add(const unsigned char* values, int32_t timestamp, int32_t kind) noexcept;
    // Reduces kValues frames of 8- or 16-bit interleaved PCM to kValues values (the first
    // channel's magnitude) and stores them like add. Other sample widths store zeros.
    void addPcm(const void* samples, int32_t channels, int32_t bitsPerSample,
                int32_t timestamp) noexcept;

    // The number of slots (0 without a ring) and how many values were stored since init.
    size_t size() const noexcept;
    uint64_t stored() const noexcept;

  private:
    struct Slot {
        std::array<unsigned char, kValues> values{};
        int32_t timestamp = 0;
        int32_t kind = 0;
    };

    mutable std::mutex mutex_;  // guards all members below
    std::vector<Slot> slots_;
    size_t next_ = 0;
    uint64_t stored_ = 0;
};

}  // namespace vexa
