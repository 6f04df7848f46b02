#pragma once
// Waiting in tests: pump the calling thread's queue until a condition holds or a generous limit
// passes (a loaded machine may be slow; correctness never rests on a fixed sleep).

#include "platform/messages.h"

#include <chrono>
#include <functional>

namespace win::testing {

inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    MSG msg;
    for (;;) {
        while (peekMessage(msg, 0, 0, 0, PM_REMOVE)) {
            dispatchMessage(msg);
        }
        if (done()) {
            return true;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return false;
        }
        waitMessage(static_cast<UINT>(
            std::min<long long>(std::chrono::ceil<std::chrono::milliseconds>(left).count(), 100)));
    }
}

}  // namespace win::testing
