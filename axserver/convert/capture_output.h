#pragma once
// The capturing output of the play path: the host's "dummy output" record
// (axserver/outputs/dummy_output.h) fed to the conversion that runs through a decoder without
// extended read. It serves one conversion at a time (the record is program-wide).
//
// Threads: attach and detach on the main thread; open, write and close come from the decoder's
// own thread (close also from the main thread, inside the decoder's stop). The target is guarded
// by the dummy output's own lock, which is held around every call of the record.
#include <atomic>
#include <cstdint>

#include "axserver/outputs/dummy_output.h"

namespace vexa {

// The conversion that takes what the decoder writes. Its calls must not throw.
class CaptureTarget {
  public:
    virtual ~CaptureTarget() = default;
    virtual int32_t write(const char* buffer, int32_t byteCount) noexcept = 0;
    virtual void close() noexcept = 0;
};

class CaptureOutput final : public DummyOutputSink {
  public:
    CaptureOutput() = default;
    CaptureOutput(const CaptureOutput&) = delete;
    CaptureOutput& operator=(const CaptureOutput&) = delete;
    ~CaptureOutput() override { detach(); }

    // Makes `target` the conversion fed and the record's sink; false while another is attached.
    bool attach(CaptureTarget* target) noexcept;
    // Removes the sink; the record's calls fail from now on.
    void detach() noexcept;

    // The format of the last open; opened() is true once the decoder has opened the output.
    bool opened() const noexcept { return opened_.load(); }
    int32_t sampleRate() const noexcept { return rate_.load(); }
    int32_t channels() const noexcept { return channels_.load(); }
    int32_t bitsPerSample() const noexcept { return bits_.load(); }

    int32_t open(int32_t sampleRate, int32_t channels, int32_t bitsPerSample) noexcept override;
    int32_t write(const char* buffer, int32_t byteCount) noexcept override;
    void close() noexcept override;

  private:
    CaptureTarget* target_ = nullptr;  // main thread writes, under the dummy output's lock
    std::atomic<bool> opened_{false};
    std::atomic<int32_t> rate_{0};
    std::atomic<int32_t> channels_{0};
    std::atomic<int32_t> bits_{0};
};

}  // namespace vexa
