#include "runtimes/qtml/movie/movie_clock.h"

namespace kinvo::qtml {

int64_t MovieClock::advance() noexcept {
    const Steady::time_point now = Steady::now();
    const int64_t elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick_).count();
    if (elapsed <= 0) {
        return 0;
    }
    lastTick_ = now;
    return running_ ? elapsed : 0;
}

void MovieClock::restart(int64_t ms) noexcept {
    lastTick_ = Steady::now();
    ownMs_ = ms;
    lastSoundMs_ = -1;
    standingMs_ = 0;
    runningOn_ = false;
}

void MovieClock::setRunning(bool running) noexcept {
    advance();
    running_ = running;
}

int64_t MovieClock::nowMs(std::optional<int64_t> soundMs) noexcept {
    const int64_t elapsed = advance();
    if (!soundMs) {
        ownMs_ += elapsed;
    } else if (runningOn_) {
        ownMs_ += elapsed;
        if (*soundMs >= ownMs_) {
            ownMs_ = *soundMs;  // the sound has caught up: it leads again
            runningOn_ = false;
        }
    } else if (*soundMs != lastSoundMs_) {
        lastSoundMs_ = *soundMs;
        standingMs_ = 0;
        ownMs_ = *soundMs;
    } else {
        standingMs_ += elapsed;
        if (standingMs_ >= kStandingMs) {
            ownMs_ += elapsed;
            runningOn_ = true;
        }
    }
    return ownMs_;
}

}  // namespace kinvo::qtml
