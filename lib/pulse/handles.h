#pragma once
// Owners of libpulse's handles: a main loop, a context (disconnected, then released) and an
// operation reference. Each frees its handle once, when it goes; none throws.

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>

#include <memory>

namespace kinvo::pulse {

struct MainloopFree {
    void operator()(pa_mainloop* loop) const noexcept { pa_mainloop_free(loop); }
};
struct ContextRelease {
    void operator()(pa_context* context) const noexcept {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};
struct OperationUnref {
    void operator()(pa_operation* operation) const noexcept { pa_operation_unref(operation); }
};

using Mainloop = std::unique_ptr<pa_mainloop, MainloopFree>;
using Context = std::unique_ptr<pa_context, ContextRelease>;
using Operation = std::unique_ptr<pa_operation, OperationUnref>;

}  // namespace kinvo::pulse
