#pragma once
// The time a movie's pictures are drawn against: the sound's played time while it moves, else a
// steady clock of its own. When the sound's time has stood still for kStandingMs while the clock
// runs (the sound ended before the pictures, or the server stopped taking it), the clock runs on
// by itself until the sound's time catches up with it: it never goes back while it runs, so a
// stalled sound costs the pictures at most kStandingMs. A clock that is not running holds still.
//
// Threads: the movie thread's own. Error policy: nothing fails; nothing throws.

#include <chrono>
#include <cstdint>
#include <optional>

namespace kinvo::qtml {

class MovieClock {
  public:
    static constexpr int64_t kStandingMs = 300;

    // Starts again at `ms` (the start or a seek), keeping the running state.
    void restart(int64_t ms) noexcept;
    void setRunning(bool running) noexcept;
    // The time now in milliseconds of the movie; `soundMs` is the sound's played time (empty
    // when there is no sound or it has no time yet).
    int64_t nowMs(std::optional<int64_t> soundMs) noexcept;

  private:
    using Steady = std::chrono::steady_clock;
    int64_t advance() noexcept;

    Steady::time_point lastTick_ = Steady::now();
    bool running_ = false;
    int64_t ownMs_ = 0;
    int64_t lastSoundMs_ = -1;
    int64_t standingMs_ = 0;
    bool runningOn_ = false;  // by itself until the sound catches up
};

}  // namespace kinvo::qtml
