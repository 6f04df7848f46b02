#include "lib/pulse/connection.h"

namespace kinvo::pulse {

Status Connection::connect(const char* clientName, Clock::time_point deadline) {
    context_.reset();
    loop_.reset(pa_mainloop_new());
    if (!loop_) {
        return Status::NoServer;
    }
    context_.reset(pa_context_new(pa_mainloop_get_api(loop_.get()), clientName));
    if (!context_ ||
        pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return Status::NoServer;
    }
    while (true) {
        const pa_context_state_t state = pa_context_get_state(context_.get());
        if (state == PA_CONTEXT_READY) {
            return Status::Ok;
        }
        if (!PA_CONTEXT_IS_GOOD(state)) {
            return Status::NoServer;
        }
        if (const Status s = iterate(deadline); s != Status::Ok) {
            return s == Status::Lost ? Status::NoServer : s;
        }
    }
}

Status Connection::wait(pa_operation* raw, Clock::time_point deadline) {
    const Operation operation(raw);
    if (!operation || !context_) {
        return Status::Failed;
    }
    while (pa_operation_get_state(operation.get()) == PA_OPERATION_RUNNING) {
        if (const Status s = iterate(deadline); s != Status::Ok) {
            return s;
        }
    }
    return pa_operation_get_state(operation.get()) == PA_OPERATION_DONE ? Status::Ok
                                                                        : Status::Failed;
}

Status Connection::iterate(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
        return Status::TimedOut;
    }
    if (pa_mainloop_prepare(loop_.get(), static_cast<int>(left.count()) * 1000) < 0 ||
        pa_mainloop_poll(loop_.get()) < 0 || pa_mainloop_dispatch(loop_.get()) < 0) {
        return Status::Lost;
    }
    return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_.get())) ? Status::Ok : Status::Lost;
}

}  // namespace kinvo::pulse
