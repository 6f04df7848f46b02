#include "lib/pulse/playback_stream.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/timeval.h>

#include <chrono>

namespace kinvo::pulse {
namespace {

// Every callback below only wakes the waiting caller; libpulse runs them on the loop's thread
// with the loop's lock held, and none of them can throw.
void wakeOnContext(pa_context*, void* loop) noexcept {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}
void wakeOnStream(pa_stream*, void* loop) noexcept {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}
void wakeOnSuccess(pa_stream*, int, void* loop) noexcept {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

// The server says the stream ran dry: fetch its indexes now rather than at the next automatic
// update, so that the end is seen at once. (The report may be older than a write that followed
// a flush; the indexes then show data still to play.)
void refreshOnUnderflow(pa_stream* stream, void*) noexcept {
    const Operation operation(pa_stream_update_timing_info(stream, nullptr, nullptr));
}

// A time event that wakes the waiting caller at its deadline.
struct Alarm {
    pa_threaded_mainloop* loop;
    bool rang = false;  // written by the loop's thread, read by the waiter, both under the lock
};
void ring(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) noexcept {
    auto* alarm = static_cast<Alarm*>(userdata);
    alarm->rang = true;
    pa_threaded_mainloop_signal(alarm->loop, 0);
}

// Holds the loop's lock for a scope.
class LoopLock {
  public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) {
        pa_threaded_mainloop_lock(loop_);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

  private:
    pa_threaded_mainloop* loop_;
};

}  // namespace

template <typename Done>
Status PlaybackStream::waitLocked(Done done, Clock::time_point deadline) const {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
        return done() ? Status::Ok : Status::TimedOut;
    }
    Alarm alarm{loop_.get()};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_.get());
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), static_cast<pa_usec_t>(left));
    pa_time_event* event = api->time_new(api, &when, ring, &alarm);
    Status status = Status::Ok;
    while (!done()) {
        if (!goodLocked()) {
            status = Status::Lost;
            break;
        }
        if (alarm.rang || event == nullptr) {
            status = Status::TimedOut;
            break;
        }
        pa_threaded_mainloop_wait(loop_.get());
    }
    if (event != nullptr) {
        api->time_free(event);
    }
    return status;
}

bool PlaybackStream::goodLocked() const {
    if (!context_ || !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_.get()))) {
        return false;
    }
    return !stream_ || PA_STREAM_IS_GOOD(pa_stream_get_state(stream_.get()));
}

Status PlaybackStream::waitOperationLocked(pa_operation* raw, Clock::time_point deadline) const {
    const Operation operation(raw);
    if (!operation) {
        return Status::Failed;
    }
    const Status status = waitLocked(
        [&] { return pa_operation_get_state(operation.get()) != PA_OPERATION_RUNNING; }, deadline);
    if (status != Status::Ok) {
        pa_operation_cancel(operation.get());
        return status;
    }
    return pa_operation_get_state(operation.get()) == PA_OPERATION_DONE ? Status::Ok
                                                                        : Status::Failed;
}

Status PlaybackStream::open(const StreamSettings& settings, Clock::time_point deadline) {
    close();
    loop_.reset(pa_threaded_mainloop_new());
    if (!loop_) {
        return Status::NoServer;
    }
    pa_threaded_mainloop* loop = loop_.get();
    context_.reset(pa_context_new(pa_threaded_mainloop_get_api(loop), settings.clientName));
    if (!context_) {
        close();
        return Status::NoServer;
    }
    pa_context_set_state_callback(context_.get(), wakeOnContext, loop);
    if (pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(loop) < 0) {
        close();
        return Status::NoServer;
    }
    Status status = Status::Ok;
    {
        const LoopLock lock(loop);
        status = waitLocked(
            [&] { return pa_context_get_state(context_.get()) == PA_CONTEXT_READY; }, deadline);
        if (status == Status::Ok) {
            stream_.reset(
                pa_stream_new(context_.get(), settings.streamName, &settings.sample, nullptr));
            status = stream_ ? Status::Ok : Status::Failed;
        } else if (status == Status::Lost) {
            status = Status::NoServer;
        }
        if (status == Status::Ok) {
            pa_stream_set_state_callback(stream_.get(), wakeOnStream, loop);
            pa_stream_set_underflow_callback(stream_.get(), refreshOnUnderflow, nullptr);
            const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING |
                                                              PA_STREAM_AUTO_TIMING_UPDATE |
                                                              PA_STREAM_ADJUST_LATENCY);
            status =
                pa_stream_connect_playback(stream_.get(), nullptr, &settings.buffer, flags,
                                           &settings.volume, nullptr) < 0
                    ? Status::Failed
                    : waitLocked(
                          [&] { return pa_stream_get_state(stream_.get()) == PA_STREAM_READY; },
                          deadline);
        }
    }
    if (status != Status::Ok) {
        close();
    }
    return status;
}

void PlaybackStream::close() noexcept {
    if (!loop_) {
        return;
    }
    // With the loop's thread stopped nothing else touches the handles.
    pa_threaded_mainloop_stop(loop_.get());
    if (stream_) {
        pa_stream_set_state_callback(stream_.get(), nullptr, nullptr);
        pa_stream_set_underflow_callback(stream_.get(), nullptr, nullptr);
    }
    if (context_) {
        pa_context_set_state_callback(context_.get(), nullptr, nullptr);
    }
    stream_.reset();
    context_.reset();
    loop_.reset();
}

bool PlaybackStream::isOpen() const {
    return static_cast<bool>(stream_);
}

bool PlaybackStream::isGood() const {
    if (!stream_) {
        return false;
    }
    const LoopLock lock(loop_.get());
    return goodLocked();
}

size_t PlaybackStream::writableBytes() const {
    if (!stream_) {
        return 0;
    }
    const LoopLock lock(loop_.get());
    const size_t size = pa_stream_writable_size(stream_.get());
    return size == static_cast<size_t>(-1) ? 0 : size;
}

Status PlaybackStream::write(const void* data, size_t byteCount) {
    if (!stream_) {
        return Status::Failed;
    }
    const LoopLock lock(loop_.get());
    // Without a free callback libpulse copies the bytes.
    return pa_stream_write(stream_.get(), data, byteCount, nullptr, 0, PA_SEEK_RELATIVE) < 0
               ? Status::Failed
               : Status::Ok;
}

Status PlaybackStream::cork(bool corked, Clock::time_point deadline) {
    if (!stream_) {
        return Status::Failed;
    }
    const LoopLock lock(loop_.get());
    return waitOperationLocked(
        pa_stream_cork(stream_.get(), corked ? 1 : 0, wakeOnSuccess, loop_.get()), deadline);
}

Status PlaybackStream::flush(Clock::time_point deadline) {
    if (!stream_) {
        return Status::Failed;
    }
    const LoopLock lock(loop_.get());
    const Status status =
        waitOperationLocked(pa_stream_flush(stream_.get(), wakeOnSuccess, loop_.get()), deadline);
    if (status != Status::Ok) {
        return status;
    }
    // The write index moved on the server; fetch it so the latency starts from there.
    return waitOperationLocked(
        pa_stream_update_timing_info(stream_.get(), wakeOnSuccess, loop_.get()), deadline);
}

Status PlaybackStream::trigger() {
    if (!stream_) {
        return Status::Failed;
    }
    const LoopLock lock(loop_.get());
    const Operation operation(pa_stream_trigger(stream_.get(), nullptr, nullptr));
    return operation ? Status::Ok : Status::Failed;
}

Status PlaybackStream::setVolume(const pa_cvolume& volume) {
    if (!stream_) {
        return Status::Failed;
    }
    const LoopLock lock(loop_.get());
    const Operation operation(pa_context_set_sink_input_volume(
        context_.get(), pa_stream_get_index(stream_.get()), &volume, nullptr, nullptr));
    return operation ? Status::Ok : Status::Failed;
}

std::optional<int64_t> PlaybackStream::latencyUs() const {
    if (!stream_) {
        return std::nullopt;
    }
    const LoopLock lock(loop_.get());
    // Once the sink has read everything written, only the sink's own latency is left: that
    // sound counts as heard (a stream that ran dry adds nothing more).
    if (const pa_timing_info* timing = pa_stream_get_timing_info(stream_.get());
        timing != nullptr && timing->read_index_corrupt == 0 && timing->write_index_corrupt == 0 &&
        timing->read_index >= timing->write_index) {
        return 0;
    }
    pa_usec_t usec = 0;
    int negative = 0;
    if (pa_stream_get_latency(stream_.get(), &usec, &negative) < 0) {
        return std::nullopt;
    }
    const auto value = static_cast<int64_t>(usec);
    return negative != 0 ? -value : value;
}

}  // namespace kinvo::pulse
