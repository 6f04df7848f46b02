#pragma once
// The sound server output: PCM from an input plug-in played through one playback stream to the
// sound server (lib/pulse/playback_stream.h), and the position the plug-in paces itself by.
//
// Threading contract: the host calls open and close on its main thread, the input plug-in every
// other call from its decode thread; every call takes lock_, so any order and overlap is safe.
// Error policy: answers as the output record (include/sonari/out_module.h) wants them: open a
// negative value when no server answers within kConnectTime; write -1 without an open stream;
// the waits of pause and flush are bounded by kControlTime and a failure there leaves the
// stream as it is. Nothing throws out of this class except std::bad_alloc, which the record's
// entries catch.

#include <chrono>
#include <cstdint>
#include <mutex>

#include "lib/pcm/format.h"
#include "lib/pcm/output_clock.h"
#include "lib/pcm/volume.h"
#include "lib/pulse/playback_stream.h"

namespace kinvo::qsnd {

class SoundServerOutput {
  public:
    // A server that does not answer within this time fails the open (the host's trial open at
    // start-up waits for it).
    static constexpr auto kConnectTime = std::chrono::milliseconds(2000);
    static constexpr auto kControlTime = std::chrono::milliseconds(1000);
    // The buffer (the whole latency: the stream's buffer and the sink's) when the caller leaves
    // it to us (-1), and the smallest prebuffer a caller may ask for (none at all would let the
    // server play past the end of what was written). A prebuffer left to us is the server's
    // choice: the stream's buffer as the server settled it. A fixed one could exceed that buffer
    // (the server keeps part of the latency for the sink), and the stream would then wait, with
    // nothing more writable, until something triggered it: hundreds of milliseconds of silence
    // at every start.
    static constexpr int32_t kDefaultBufferMs = 300;
    static constexpr int32_t kMinPrebufferMs = 10;

    // 0 when the stream is open and ready; -1 for a format the server cannot take, -2 when no
    // server answers. Closes a stream already open first.
    int32_t open(int32_t rate, int32_t channels, int32_t bits, int32_t bufferMs,
                 int32_t prebufferMs);
    // Ends the stream at once; what is still buffered is not heard.
    void close() noexcept;
    // 0 when the bytes were copied to the stream's buffer; -1 when no stream is open.
    int32_t write(const char* bytes, int32_t byteCount);
    int32_t canWrite();
    // 1 while written sound is still to be heard (paused sound included); 0 once the server
    // has gone away.
    int32_t isPlaying();
    int32_t pause(int32_t flag);
    void setVolume(int32_t volume);
    void setPan(int32_t pan);
    void flush(int32_t ms);
    int32_t outputTime();
    int32_t writtenTime();

  private:
    int64_t playedFramesLocked() const;
    void applyVolumeLocked();

    std::mutex lock_;
    pulse::PlaybackStream stream_;       // guarded by lock_ (open and close only under it)
    pcm::Format format_;                 // guarded by lock_
    pcm::OutputClock clock_;             // guarded by lock_
    bool paused_ = false;                // guarded by lock_
    int32_t volume_ = pcm::kFullVolume;  // guarded by lock_
    int32_t pan_ = 0;                    // guarded by lock_
};

}  // namespace kinvo::qsnd
