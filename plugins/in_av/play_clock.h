#pragma once
// The time pictures are drawn against: the output plug-in's played milliseconds while it has
// sound to play, else a steady clock of its own.
//
// With an output, the clock answers the output's time as long as that time moves; when it has
// stood still for kStandingMs while not paused (the sound has ended before the pictures, or an
// output that plays nothing, such as a disk writer that has everything), the clock runs on from
// it by itself, until the output's time moves again. Without an output (a file with no sound) it
// is the steady clock alone, from the start or the latest restart. A paused clock does not run.
//
// Threads: the decode thread's own. Error policy: nothing fails; nothing throws.

#include <sonari/out_module.h>

#include <chrono>
#include <cstdint>

namespace kinvo::in_av {

class PlayClock {
  public:
    static constexpr int64_t kStandingMs = 300;

    // `output` null: the clock of its own.
    explicit PlayClock(SonariOutModule* output = nullptr) noexcept : output_(output) {}

    // Starts again at `ms` (the start, or a seek).
    void restart(int64_t ms) noexcept;
    // The time now, in milliseconds of the stream; `paused` holds the clock still.
    int64_t nowMs(bool paused) noexcept;

  private:
    using Steady = std::chrono::steady_clock;

    SonariOutModule* output_;
    Steady::time_point lastTick_ = Steady::now();
    int64_t ownMs_ = 0;          // the clock running by itself
    int64_t lastOutputMs_ = -1;  // the output's time when last read
    int64_t standingMs_ = 0;     // how long the output's time has not moved (unpaused)
};

}  // namespace kinvo::in_av
