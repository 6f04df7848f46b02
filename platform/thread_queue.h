#pragma once
// The message queue of one thread: sent messages waiting for it, posted messages, the quit
// request and the window timers, with one descriptor (an epoll set of its wake-up event, its
// timer and the process socket set) that is readable whenever the thread should look.
//
// post, pushSent, postQuit and wake may be called from any thread; everything else only from the
// owner thread (the one that created the queue).

#include "platform/message_types.h"
#include "platform/pending_reply.h"
#include "platform/unique_fd.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace win::detail {

using Clock = std::chrono::steady_clock;

std::uint32_t tickCount();  // milliseconds of the monotonic clock

// What a wait found ready; a caller that knows nothing passes kReadyAll.
enum Ready : unsigned {
    kReadyWake = 1,
    kReadyTimer = 2,
    kReadyTransport = 4,
    kReadySources = 8,
    kReadyAll = 15,
};

// Marks the calling thread as pumping its own queue (peek, get, wait, a send's wait): what it
// queues for itself then is found by the pump without a wake-up through the descriptor.
class PumpScope {
  public:
    PumpScope();
    ~PumpScope();
    PumpScope(const PumpScope&) = delete;
    PumpScope& operator=(const PumpScope&) = delete;
    static bool active();

  private:
    bool outer_;
};

class ThreadQueue {
  public:
    // transportFd: the process socket set to wait on as well, or -1.
    explicit ThreadQueue(int transportFd);
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    bool isOwnerThread() const { return std::this_thread::get_id() == owner_; }
    int descriptor() const { return epoll_.get(); }
    int wakeDescriptor() const { return wake_.get(); }

    // Any thread.
    void post(const MSG& msg);
    // False once the owner thread has ended (the caller then answers the sender itself).
    bool pushSent(SentMessage& sent);
    void postQuit(int exitCode);
    void wake() noexcept;

    // Owner thread.
    void clearWake() noexcept;
    std::optional<SentMessage> takeSent();
    // The owner thread ends: later sends are refused; returns the ones still waiting.
    std::vector<SentMessage> close();
    bool takePosted(MSG& msg, HWND filter, UINT min, UINT max, bool remove);
    bool takeQuit(MSG& msg, bool remove);
    bool hasWork();

    // Pending paints of visible windows: one per window, kept until validated. Any thread.
    void setPaintPending(HWND hwnd, bool pending);
    // Owner thread: a WM_PAINT for the first window with a pending paint (it stays pending).
    bool takePaint(MSG& msg, HWND filter, UINT min, UINT max);

    bool setTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs);
    bool killTimer(HWND hwnd, std::uintptr_t id);
    void killTimers(HWND hwnd);
    bool takeDueTimer(MSG& msg, HWND filter, UINT min, UINT max, bool remove);
    // Arms the timer descriptor for the earliest due timer (disarms it when there is none).
    void rearmTimer();

    bool addSource(int fd, std::function<void()> onReadable);
    void removeSource(int fd);
    void runReadySources();

    // Blocks until the queue descriptor is readable or the time-out (ms, -1 none) passes;
    // answers what was ready (Ready bits, 0 after a time-out).
    unsigned waitIdle(int timeoutMs);

  private:
    void wakeOther() noexcept;

    struct Timer {
        HWND hwnd;
        std::uintptr_t id;
        Clock::duration period;
        Clock::time_point due;
    };
    struct Source {
        int fd;
        std::function<void()> onReadable;
    };

    const std::thread::id owner_;
    UniqueFd wake_;   // eventfd: something was queued
    UniqueFd timer_;  // timerfd: the earliest timer is due
    UniqueFd epoll_;  // wake_, timer_, the transport set and the sources

    std::mutex lock_;               // guards sent_, posted_, quit_, quitCode_, closed_
    std::deque<SentMessage> sent_;  // guarded by lock_
    std::deque<MSG> posted_;        // guarded by lock_
    bool quit_ = false;             // guarded by lock_
    int quitCode_ = 0;              // guarded by lock_
    bool closed_ = false;           // guarded by lock_
    std::vector<HWND> paints_;      // guarded by lock_

    std::vector<Timer> timers_;    // owner thread only
    bool timerArmed_ = false;      // owner thread only
    std::vector<Source> sources_;  // owner thread only
};

}  // namespace win::detail
