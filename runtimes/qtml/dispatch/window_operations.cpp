// The runtime's life (initialize / terminate counts) and the caller's windows: a registered
// window is a port pictures can be drawn into. The display connection opens with the first
// window and closes when the last terminate brings the count to zero.
#include "runtimes/qtml/dispatch/operations.h"
#include "runtimes/qtml/dispatch/window_events.h"

namespace kinvo::qtml::operations {

intptr_t initialize(Runtime& runtime, const intptr_t*) noexcept {
    ++runtime.initializeCount;
    return 0;
}

intptr_t terminate(Runtime& runtime, const intptr_t*) noexcept {
    if (runtime.initializeCount > 0 && --runtime.initializeCount == 0) {
        runtime.releaseDisplay();
    }
    return 0;
}

intptr_t registerWindow(Runtime& runtime, const intptr_t* args) noexcept {
    const auto window = static_cast<uint32_t>(args[0]);
    if (const intptr_t known = windowPort(runtime, args); known != 0) {
        return known;
    }
    if (!runtime.display) {
        runtime.display = XcbConnection::open(nullptr);
        if (!runtime.display) {
            return 0;
        }
    }
    std::unique_ptr<WindowPort> port = WindowPort::open(*runtime.display, window);
    if (!port) {
        return 0;
    }
    const intptr_t key = reinterpret_cast<intptr_t>(port.get());
    return runtime.ports.add(key, std::move(port)) ? key : 0;
}

intptr_t unregisterPort(Runtime& runtime, const intptr_t* args) noexcept {
    if (runtime.ports.take(args[0])) {
        runtime.detachTarget(args[0]);
    }
    return 0;
}

intptr_t windowPort(Runtime& runtime, const intptr_t* args) noexcept {
    for (const auto& [key, port] : runtime.ports) {
        if (port->window() == static_cast<uint32_t>(args[0])) {
            return key;
        }
    }
    return 0;
}

intptr_t windowEvent(Runtime&, const intptr_t* args) noexcept {
    const auto* message = reinterpret_cast<const QtmlWindowMessage*>(args[0]);
    auto* event = reinterpret_cast<QtmlEvent*>(args[1]);
    if (message == nullptr || event == nullptr) {
        return QTML_ERR_PARAM;
    }
    return toEvent(*message, *event) ? 0 : 1;
}

}  // namespace kinvo::qtml::operations
