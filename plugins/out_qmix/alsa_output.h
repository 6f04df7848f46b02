#pragma once
// The ALSA output: PCM from an input plug-in goes into a queue of ours, and a writer thread
// hands it to the device (KINVO_ALSA_DEVICE, else "default") as the device takes it. Volume and
// balance are applied in software as the bytes are queued; the position is the frames handed
// to the device minus the device's delay (none once its buffer is all free).
//
// Threading contract: open and close come from the host's main thread or the input plug-in's
// thread, never at the same time (lifeLock_ keeps them apart anyway); every other call comes
// from the input plug-in's thread. All state the writer thread shares is guarded by lock_; the
// device is touched only under it, and the writer never waits on the device while holding it.
// Error policy: answers as the output record (include/sonari/out_module.h) wants them: open a
// negative value for a format or device it cannot use, write -1 without an open device. Device
// errors while playing (an underrun, a suspended device) are recovered with snd_pcm_recover;
// one that cannot be recovered drops the queue. Pausing uses the device's pause where it has
// one; elsewhere what the device holds is dropped (its position counts as played) and the
// queue waits. Nothing throws out of this class except std::bad_alloc and std::system_error
// (no thread), which the record's entries catch.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "lib/pcm/format.h"
#include "lib/pcm/output_clock.h"
#include "lib/pcm/volume.h"
#include "plugins/out_qmix/alsa_handles.h"

namespace kinvo::qmix {

class AlsaOutput {
  public:
    static constexpr const char* kDeviceVariable = "KINVO_ALSA_DEVICE";
    static constexpr const char* kDefaultDevice = "default";
    // The queue's size when the caller leaves it to us (-1), and the device's own buffer.
    static constexpr int32_t kDefaultBufferMs = 500;
    static constexpr unsigned kDeviceBufferUs = 200000;
    static constexpr unsigned kDevicePeriodUs = 40000;
    // How long the writer sleeps when the device is full or there is nothing to write.
    static constexpr auto kWriterNap = std::chrono::milliseconds(5);

    AlsaOutput() = default;
    AlsaOutput(const AlsaOutput&) = delete;
    AlsaOutput& operator=(const AlsaOutput&) = delete;
    ~AlsaOutput() { close(); }

    // 0 when the device is open and the writer runs; -1 for a format we cannot play, -2 when
    // the device cannot be opened or set up for it. Closes a device already open first.
    int32_t open(int32_t rate, int32_t channels, int32_t bits, int32_t bufferMs,
                 int32_t prebufferMs);
    // Stops the writer and closes the device at once; what is queued is not heard.
    void close() noexcept;
    // 0 when the bytes were copied to the queue; -1 when no device is open.
    int32_t write(const char* bytes, int32_t byteCount);
    int32_t canWrite();
    int32_t isPlaying();
    int32_t pause(int32_t flag);
    void setVolume(int32_t volume);
    void setPan(int32_t pan);
    void flush(int32_t ms);
    int32_t outputTime();
    int32_t writtenTime();

  private:
    void closeLifeLocked() noexcept;
    void writerLoop();
    // One step of the writer: hands queued frames to the device; false when it should nap.
    bool feedLocked();
    void dropQueueLocked();
    int64_t queuedBytesLocked() const { return static_cast<int64_t>(queue_.size() - queueStart_); }
    int64_t playedFramesLocked() const;

    std::mutex lifeLock_;  // taken by open and close, before lock_
    std::thread writer_;   // guarded by lifeLock_

    std::mutex lock_;
    std::condition_variable wake_;       // the writer waits on it, under lock_
    Pcm pcm_;                            // guarded by lock_
    pcm::Format format_;                 // guarded by lock_
    pcm::OutputClock clock_;             // guarded by lock_
    std::vector<unsigned char> queue_;   // guarded by lock_: bytes queueStart_.. wait their turn
    size_t queueStart_ = 0;              // guarded by lock_
    size_t scaledEnd_ = 0;               // guarded by lock_: queue_ bytes before it are scaled
    int64_t queueCapacity_ = 0;          // guarded by lock_, in bytes
    int64_t deviceFrames_ = 0;           // guarded by lock_: handed to the device since the base
    int64_t deviceBufferFrames_ = 0;     // guarded by lock_
    bool canPause_ = false;              // guarded by lock_
    bool paused_ = false;                // guarded by lock_
    bool stopping_ = false;              // guarded by lock_
    int32_t volume_ = pcm::kFullVolume;  // guarded by lock_
    int32_t pan_ = 0;                    // guarded by lock_
};

}  // namespace kinvo::qmix
