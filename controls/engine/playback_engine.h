#pragma once
// One playback server session on a thread of its own.
//
// The engine's thread makes a vexa::VexaClient (its window belongs to that thread, which pumps
// it), starts `serverPath` and waits up to the ready timeout for the server. It then runs the
// posted jobs in the order they were posted (jobs posted before the server is ready wait), takes
// the retry and fallback steps (controls/engine/recovery.h) and passes the server's events,
// statuses and metadata to the event callback, on its own thread, as they arrive.
//
// Failure: when the server cannot be started or does not report ready in time, and when it
// ends while the session runs, the callback gets event 102 (kEventNotStarted) once and the
// session ends; jobs not yet run are dropped. No member throws.
//
// Retry and fallback: a failed start is one of the server's events 102, 108, 109 raised during
// a start. While retries are left the failed entry is made current again and played
// (commands 710, 701) after the retry delay; then the next address is tried (710 to the failed
// entry, 712, 701) after the fallback delay, with fresh retries; event 4 resets both counts.
// The server itself moves on after a failed start (end-of-track rules); when that next start
// succeeds, the waiting step is dropped.
//
// Threads: the constructor, post(), setRetry(), setFallback(), setPeriodic() and stop() are
// called on the owner's thread (the host's UI thread) and return at once. The callback and jobs
// run on the engine's thread. Two locks in the shared State, never held together: queueLock
// (jobs, the stop request, the retry numbers, the periodic job) and sinkLock (the callback, held
// while it runs).
//
// Stop: stop() asks the thread to end and waits at most kStopWait for it to close the client
// window, after which the server ends by itself within about two seconds. The thread then goes
// on pumping, without a window, until the server process has ended (at most 5 s): the server's
// last synchronous events need an answer from a pumping thread of this process, or they would
// hold the server. stop() does not wait for that; the thread owns what it uses and ends alone
// (the library is never unloaded). After stop() returns the callback is never called again.
// The destructor stops.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "controls/engine/server_event.h"

namespace vexa {
class VexaClient;
}

namespace kinvo::controls {

// What a job gets: the session's client, and the way to report to the owner.
class Session {
  public:
    virtual vexa::VexaClient& client() = 0;
    // Passes `event` to the callback (nothing once stop() has begun).
    virtual void emit(const ServerEvent& event) = 0;

  protected:
    ~Session() = default;
};

class PlaybackEngine {
  public:
    using Callback = std::function<void(const ServerEvent&)>;
    using Job = std::function<void(Session&)>;

    static constexpr std::chrono::milliseconds kReadyTimeout{10000};
    static constexpr std::chrono::milliseconds kStopWait{500};

    // Starts the session's thread at once.
    PlaybackEngine(std::string serverPath, Callback callback,
                   std::chrono::milliseconds readyTimeout = kReadyTimeout);
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;
    ~PlaybackEngine();

    // Runs `job` on the session's thread after the jobs posted before it, once the server is
    // ready. Dropped after stop() or when the session has failed. A job may outlive its owner
    // (see stop()): it reaches the owner only through Session::emit, never through a pointer.
    void post(Job job) noexcept;
    // The retry and fallback numbers; applied before the next failure is handled.
    void setRetry(std::int32_t count, std::int32_t delayMs) noexcept;
    void setFallback(std::int32_t count, std::int32_t delayMs) noexcept;
    // A job run every `period` while the server is up (replacing the one before).
    void setPeriodic(Job job, std::chrono::milliseconds period) noexcept;
    // Ends the session (see above). Idempotent.
    void stop() noexcept;

    // The shared part, owned by the thread too. Public for the implementation file only.
    struct State;

  private:
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace kinvo::controls
