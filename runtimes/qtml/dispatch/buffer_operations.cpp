// Off-screen BGRA buffers: the value handed out is the address of the buffer's BufferView.
#include "runtimes/qtml/dispatch/operations.h"

namespace kinvo::qtml::operations {
namespace {

// The buffer's size from its rectangle; false for a format other than BGRA or an empty one.
bool sizeOf(intptr_t format, intptr_t rect, int& width, int& height) {
    const auto* box = reinterpret_cast<const QtmlRect*>(rect);
    if (static_cast<uint32_t>(format) != QTML_PIXELS_BGRA || box == nullptr) {
        return false;
    }
    width = box->right - box->left;
    height = box->bottom - box->top;
    return width > 0 && height > 0;
}

}  // namespace

intptr_t newBuffer(Runtime& runtime, const intptr_t* args) noexcept {
    auto* out = reinterpret_cast<intptr_t*>(args[0]);
    int width = 0;
    int height = 0;
    if (out == nullptr || !sizeOf(args[1], args[2], width, height)) {
        return QTML_ERR_PARAM;
    }
    *out = 0;
    std::unique_ptr<OffscreenBuffer> buffer = OffscreenBuffer::make(width, height);
    if (!buffer) {
        return QTML_ERR_MEMORY;
    }
    const intptr_t key = reinterpret_cast<intptr_t>(buffer->view());
    if (!runtime.buffers.add(key, std::move(buffer))) {
        return QTML_ERR_MEMORY;
    }
    *out = key;
    return 0;
}

// The buffer keeps its value; its pixels start again, all zero, at the new size.
intptr_t updateBuffer(Runtime& runtime, const intptr_t* args) noexcept {
    auto* inOut = reinterpret_cast<intptr_t*>(args[0]);
    int width = 0;
    int height = 0;
    OffscreenBuffer* buffer = inOut != nullptr ? runtime.buffers.find(*inOut) : nullptr;
    if (buffer == nullptr || !sizeOf(args[1], args[2], width, height)) {
        return QTML_ERR_PARAM;
    }
    return buffer->resize(width, height) ? 0 : QTML_ERR_MEMORY;
}

intptr_t disposeBuffer(Runtime& runtime, const intptr_t* args) noexcept {
    if (runtime.buffers.take(args[0])) {
        runtime.detachTarget(args[0]);
    }
    return 0;
}

}  // namespace kinvo::qtml::operations
