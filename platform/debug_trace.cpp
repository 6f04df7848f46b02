#include "platform/debug_trace.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace win {

bool debugTraceEnabled() noexcept {
    return std::getenv("VEXA_DEBUG") != nullptr;
}

void debugTrace(std::string_view text) noexcept {
    if (!debugTraceEnabled()) {
        return;
    }
    // One write per text, so lines of several threads do not interleave mid-text.
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace win
