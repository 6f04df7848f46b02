#pragma once
// What the play thread, the host's main thread and the video window's procedure share of one
// stream. Each member names what guards it.

#include <atomic>
#include <mutex>

#include "plugins/in_mova/binding/runtime_binding.h"
#include "plugins/in_mova/runtime_objects.h"

namespace kinvo::in_mova {

struct PlayState {
    explicit PlayState(const RuntimeBinding& r) noexcept : runtime(r), buffer(r) {}

    const RuntimeBinding& runtime;
    // Set by play before the thread starts and cleared by stop after it ended (atomic: the
    // window's procedure reads it at any time).
    std::atomic<intptr_t> movie{0};
    // Made by the play thread, released by stop after the thread ended.
    std::atomic<intptr_t> controller{0};
    // The stream is an "rtsp:" address (set by play before the thread starts).
    std::atomic<bool> rtsp{false};

    // guards movieBox, displayRect and buffer; recursive, because a runtime call made under it may
    // call the action filter back on the same thread
    std::recursive_mutex drawLock;
    QtmlRect movieBox{0, 0, 1, 1};
    QtmlRect displayRect{0, 0, 0, 0};
    BufferObject buffer;  // the off-screen target used until a window is known
};

}  // namespace kinvo::in_mova
