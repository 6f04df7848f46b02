#include "controls/engine/recovery.h"

#include <algorithm>
#include <utility>

namespace kinvo::controls {

void Recovery::setRetry(std::int32_t count, std::int32_t delayMs) {
    retryCount_ = std::max(count, 0);
    retryDelay_ = std::chrono::milliseconds(std::max(delayMs, 0));
}

void Recovery::setFallback(std::int32_t count, std::int32_t delayMs) {
    fallbackCount_ = std::max(count, 0);
    fallbackDelay_ = std::chrono::milliseconds(std::max(delayMs, 0));
}

RecoveryStep Recovery::onFailure(Clock::time_point now) {
    if (pending_ != RecoveryStep::kNone) {
        return RecoveryStep::kNone;
    }
    if (retriesUsed_ < retryCount_) {
        ++retriesUsed_;
        pending_ = RecoveryStep::kReplay;
        pendingAt_ = now + retryDelay_;
    } else if (fallbacksUsed_ < fallbackCount_) {
        ++fallbacksUsed_;
        retriesUsed_ = 0;
        pending_ = RecoveryStep::kNextAddress;
        pendingAt_ = now + fallbackDelay_;
    }
    return pending_;
}

void Recovery::onStarted() {
    retriesUsed_ = 0;
    fallbacksUsed_ = 0;
    pending_ = RecoveryStep::kNone;
}

RecoveryStep Recovery::takeDue(Clock::time_point now) {
    if (pending_ == RecoveryStep::kNone || now < pendingAt_) {
        return RecoveryStep::kNone;
    }
    return std::exchange(pending_, RecoveryStep::kNone);
}

std::optional<Recovery::Clock::time_point> Recovery::due() const {
    if (pending_ == RecoveryStep::kNone) {
        return std::nullopt;
    }
    return pendingAt_;
}

}  // namespace kinvo::controls
