#pragma once
// A playback stream to the sound server on a threaded main loop of its own: the loop's thread
// runs libpulse's callbacks, and every call below takes the loop's lock itself, so a stream may
// be shared between threads without a lock of the caller's, except open and close, which must
// not overlap any other call (the owner orders them). No call may come from a libpulse callback
// (the loop's own thread).
//
// Error policy: as connection.h. Failures are a Status (or an empty answer), never an
// exception; the callbacks handed to libpulse only signal the waiting caller or set a flag. No
// call starts a sound server (PA_CONTEXT_NOAUTOSPAWN), and the calls that wait for the server
// return by their deadline, so an absent or stuck server costs at most that long.
//
// Order: open -> (write, cork, flush, setVolume, latency...)* -> close (or destruction). A
// failed open leaves the stream closed; calls on a closed stream fail or answer nothing.

#include <pulse/sample.h>
#include <pulse/volume.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "lib/pulse/connection.h"
#include "lib/pulse/handles.h"

namespace kinvo::pulse {

struct StreamSettings {
    const char* clientName = "Kinvo";
    const char* streamName = "Playback";
    pa_sample_spec sample{};
    pa_buffer_attr buffer{};  // (uint32_t)-1 in a field leaves it to the server
    pa_cvolume volume{};      // the stream's volume at the start, one value per channel
};

class PlaybackStream {
  public:
    PlaybackStream() = default;
    PlaybackStream(const PlaybackStream&) = delete;
    PlaybackStream& operator=(const PlaybackStream&) = delete;
    ~PlaybackStream() { close(); }

    // Connects to the server the environment names and opens the stream on its default sink;
    // Ok once the stream is ready. NoServer when nobody answers, TimedOut at the deadline.
    Status open(const StreamSettings& settings, Clock::time_point deadline);
    // Ends the stream at once (what is buffered is dropped) and the connection with it.
    void close() noexcept;
    bool isOpen() const;
    // False once the stream or the connection has failed (the server went away); the stream
    // stays open until close, and every call on it fails or answers nothing.
    bool isGood() const;

    // Bytes the server takes now without growing the buffer beyond its target.
    size_t writableBytes() const;
    // Copies the bytes into the stream's buffer; never waits for the server.
    Status write(const void* data, size_t byteCount);
    // Corks (pauses) or uncorks the stream and waits until the server has done it.
    Status cork(bool corked, Clock::time_point deadline);
    // Drops what the server still holds of the stream and waits until it has done so; the
    // stream waits for its prebuffer again.
    Status flush(Clock::time_point deadline);
    // Starts playing what is written even though less than the prebuffer is there.
    Status trigger();
    // The stream's (sink input's) volume per channel; does not wait for the answer.
    Status setVolume(const pa_cvolume& volume);

    // Microseconds between what was written and what is heard now, interpolated between the
    // server's timing updates: what the stream holds plus the sink's own latency. 0 once the
    // server's indexes show that the sink has read everything written (the stream ran dry; the
    // sink's last few milliseconds count as heard).
    // Empty before the first timing update and on a closed stream.
    std::optional<int64_t> latencyUs() const;

  private:
    // Waits (the loop's lock held) until done() holds, the connection fails or the deadline
    // passes.
    template <typename Done>
    Status waitLocked(Done done, Clock::time_point deadline) const;
    // Waits for an operation started under the lock; takes its reference.
    Status waitOperationLocked(pa_operation* operation, Clock::time_point deadline) const;
    bool goodLocked() const;

    // Declared first so that it goes last; close() stops it before the others go.
    ThreadedMainloop loop_;
    Context context_;  // guarded by the loop's lock (set and reset only while the loop is stopped)
    Stream stream_;    // guarded by the loop's lock (as context_)
};

}  // namespace kinvo::pulse
