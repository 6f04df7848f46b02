#include "lib/x11/display_state.h"

#include <algorithm>
#include <array>
#include <atomic>

namespace kinvo::x11 {

namespace {

// A process has a handful of connections at most; a full table keeps the earliest marks.
std::array<std::atomic<::Display*>, 8> gLost{};

}  // namespace

void markDisplayLost(::Display* display) noexcept {
    if (display == nullptr || displayLost(display)) {
        return;
    }
    for (auto& slot : gLost) {
        ::Display* empty = nullptr;
        if (slot.compare_exchange_strong(empty, display)) {
            return;
        }
    }
}

bool displayLost(::Display* display) noexcept {
    return display != nullptr &&
           std::any_of(gLost.begin(), gLost.end(), [display](const auto& slot) {
               return slot.load(std::memory_order_acquire) == display;
           });
}

}  // namespace kinvo::x11
