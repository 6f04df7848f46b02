#pragma once
// The retry and fallback rule of a playback session, without a server: which step follows a
// failed start and when.
//
// A failed start (the server's events 102, 108, 109; one start may raise several of them) asks
// for one step. While retries are left for the current address the step is kReplay (play the
// failed entry again) after the retry delay; once they are used up it is kNextAddress (the next
// playlist entry, then play) after the fallback delay, which gives the new address the full
// number of retries again. After `fallbackCount` fallbacks, or with both counts 0, a failure asks
// for nothing and playback stays stopped. Both counters start again when playback starts
// (event 4), which also drops a step not yet taken. So one address plays at most
// retryCount + 1 times, and at most (fallbackCount + 1) * (retryCount + 1) starts fail in a row.
//
// Not thread-safe: one thread (the session's) calls every member.
#include <chrono>
#include <cstdint>
#include <optional>

namespace kinvo::controls {

enum class RecoveryStep { kNone, kReplay, kNextAddress };

class Recovery {
  public:
    using Clock = std::chrono::steady_clock;

    // Negative counts and delays count as 0.
    void setRetry(std::int32_t count, std::int32_t delayMs);
    void setFallback(std::int32_t count, std::int32_t delayMs);

    // A start failed at `now`. Answers the step it schedules, or kNone when a step is already
    // waiting (the same failed start) or the counts are used up.
    RecoveryStep onFailure(Clock::time_point now);
    // Playback started: counters back to 0, a waiting step dropped.
    void onStarted();
    // The waiting step when its time has come (it is then taken), else kNone.
    RecoveryStep takeDue(Clock::time_point now);
    // When the waiting step is due; nullopt when none waits.
    std::optional<Clock::time_point> due() const;

    std::int32_t retriesUsed() const { return retriesUsed_; }
    std::int32_t fallbacksUsed() const { return fallbacksUsed_; }

  private:
    std::int32_t retryCount_ = 0;
    std::chrono::milliseconds retryDelay_{0};
    std::int32_t fallbackCount_ = 0;
    std::chrono::milliseconds fallbackDelay_{0};
    std::int32_t retriesUsed_ = 0;    // of the current address
    std::int32_t fallbacksUsed_ = 0;  // since playback last started
    RecoveryStep pending_ = RecoveryStep::kNone;
    Clock::time_point pendingAt_{};
};

}  // namespace kinvo::controls
