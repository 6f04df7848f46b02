// Handles and byte copies. Every handle call leaves its error for QTML_MEM_ERROR: 0, or
// QTML_ERR_MEMORY when memory ran out, or QTML_ERR_PARAM for a value that is no live handle.
#include <cstring>

#include "runtimes/qtml/dispatch/operations.h"

namespace kinvo::qtml::operations {
namespace {

QtmlHandle handleOf(intptr_t value) {
    return reinterpret_cast<QtmlHandle>(value);
}

}  // namespace

intptr_t memError(Runtime& runtime, const intptr_t*) noexcept {
    return runtime.memoryError;
}

intptr_t newHandle(Runtime& runtime, const intptr_t* args) noexcept {
    QtmlHandle handle = args[0] >= 0 ? runtime.handles.make(static_cast<size_t>(args[0])) : nullptr;
    runtime.memoryError = handle != nullptr ? 0 : QTML_ERR_MEMORY;
    return reinterpret_cast<intptr_t>(handle);
}

intptr_t disposeHandle(Runtime& runtime, const intptr_t* args) noexcept {
    runtime.memoryError = runtime.handles.dispose(handleOf(args[0])) ? 0 : QTML_ERR_PARAM;
    return 0;
}

intptr_t handleSize(Runtime& runtime, const intptr_t* args) noexcept {
    const std::optional<size_t> size = runtime.handles.size(handleOf(args[0]));
    runtime.memoryError = size ? 0 : QTML_ERR_PARAM;
    return size ? static_cast<intptr_t>(*size) : 0;
}

intptr_t copyBytes(Runtime&, const intptr_t* args) noexcept {
    if (args[0] != 0 && args[1] != 0 && args[2] > 0) {
        std::memmove(reinterpret_cast<void*>(args[1]), reinterpret_cast<const void*>(args[0]),
                     static_cast<size_t>(args[2]));
    }
    return 0;
}

}  // namespace kinvo::qtml::operations
