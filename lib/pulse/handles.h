#pragma once
// Owners of libpulse's handles: a main loop, a threaded main loop (stopped, then freed), a
// context (disconnected, then released), a stream (disconnected, then released) and an
// operation reference. Each frees its handle once, when it goes; none throws.

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <memory>

namespace kinvo::pulse {

struct MainloopFree {
    void operator()(pa_mainloop* loop) const noexcept { pa_mainloop_free(loop); }
};
// Stopping joins the loop's thread; it must not run on that thread (never from a callback).
struct ThreadedMainloopFree {
    void operator()(pa_threaded_mainloop* loop) const noexcept {
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
    }
};
struct ContextRelease {
    void operator()(pa_context* context) const noexcept {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};
struct StreamRelease {
    void operator()(pa_stream* stream) const noexcept {
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
    }
};
struct OperationUnref {
    void operator()(pa_operation* operation) const noexcept { pa_operation_unref(operation); }
};

using Mainloop = std::unique_ptr<pa_mainloop, MainloopFree>;
using ThreadedMainloop = std::unique_ptr<pa_threaded_mainloop, ThreadedMainloopFree>;
using Context = std::unique_ptr<pa_context, ContextRelease>;
using Stream = std::unique_ptr<pa_stream, StreamRelease>;
using Operation = std::unique_ptr<pa_operation, OperationUnref>;

}  // namespace kinvo::pulse
