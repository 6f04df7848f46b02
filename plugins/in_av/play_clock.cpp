#include "plugins/in_av/play_clock.h"

namespace kinvo::in_av {

void PlayClock::restart(int64_t ms) noexcept {
    lastTick_ = Steady::now();
    ownMs_ = ms;
    lastOutputMs_ = -1;
    standingMs_ = 0;
}

int64_t PlayClock::nowMs(bool paused) noexcept {
    const Steady::time_point now = Steady::now();
    const int64_t elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick_).count();
    // Whole milliseconds only: the remainder counts at the next call.
    lastTick_ += std::chrono::milliseconds(elapsed);
    if (!paused) {
        ownMs_ += elapsed;
    }
    if (output_ == nullptr) {
        return ownMs_;
    }
    const int64_t outputMs = output_->getOutputTime();
    if (outputMs != lastOutputMs_) {
        lastOutputMs_ = outputMs;
        ownMs_ = outputMs;
        standingMs_ = 0;
        return outputMs;
    }
    if (!paused) {
        standingMs_ += elapsed;
    }
    return standingMs_ >= kStandingMs ? ownMs_ : outputMs;
}

}  // namespace kinvo::in_av
