#pragma once
// One message on the wire between two processes of the layer. Fixed size, native byte order
// (both ends are processes of one user on one machine).

#include "platform/message_types.h"

#include <cstdint>

namespace win::detail {

enum class FrameKind : std::uint32_t { Send = 1, Post = 2, Reply = 3 };

struct Frame {
    FrameKind kind = FrameKind::Post;
    std::uint32_t seq = 0;  // a send's number; its reply carries it back
    HWND hwnd = 0;
    UINT message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;      // a reply's result
    std::uint32_t timeoutMs = 0;  // a send's time-out (kInfinite: none)
    std::uint32_t status = 0;     // reply: 1 answered, 0 no such window
};
static_assert(sizeof(Frame) == 40, "the frame layout is shared by every process");

}  // namespace win::detail
