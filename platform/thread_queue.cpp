#include "platform/thread_queue.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace win::detail {
namespace {

constexpr std::uint64_t kTagWake = 1, kTagTimer = 2, kTagTransport = 3, kTagSource = 4;

void addToSet(int epollFd, int fd, std::uint64_t tag) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = tag;
    ::epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &ev);
}

bool matches(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

thread_local bool tlPumping = false;

}  // namespace

PumpScope::PumpScope() : outer_(std::exchange(tlPumping, true)) {}
PumpScope::~PumpScope() {
    tlPumping = outer_;
}
bool PumpScope::active() {
    return tlPumping;
}

std::uint32_t tickCount() {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
            .count());
}

ThreadQueue::ThreadQueue(int transportFd)
    : owner_(std::this_thread::get_id()),
      wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      timer_(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)),
      epoll_(::epoll_create1(EPOLL_CLOEXEC)) {
    addToSet(epoll_.get(), wake_.get(), kTagWake);
    addToSet(epoll_.get(), timer_.get(), kTagTimer);
    if (transportFd >= 0) {
        addToSet(epoll_.get(), transportFd, kTagTransport);
    }
}

void ThreadQueue::post(const MSG& msg) {
    {
        std::lock_guard guard(lock_);
        posted_.push_back(msg);
    }
    wakeOther();
}

bool ThreadQueue::pushSent(SentMessage& sent) {
    {
        std::lock_guard guard(lock_);
        if (closed_) {
            return false;
        }
        sent_.push_back(std::move(sent));
    }
    wakeOther();
    return true;
}

void ThreadQueue::postQuit(int exitCode) {
    {
        std::lock_guard guard(lock_);
        quit_ = true;
        quitCode_ = exitCode;
    }
    wakeOther();
}

void ThreadQueue::wakeOther() noexcept {
    // The owner inside its own pump looks at the queue again before it waits.
    if (!(PumpScope::active() && isOwnerThread())) {
        wake();
    }
}

void ThreadQueue::wake() noexcept {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_.get(), &one, sizeof one);
}

void ThreadQueue::clearWake() noexcept {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(wake_.get(), &count, sizeof count);
}

std::optional<SentMessage> ThreadQueue::takeSent() {
    std::lock_guard guard(lock_);
    if (sent_.empty()) {
        return std::nullopt;
    }
    SentMessage sent = std::move(sent_.front());
    sent_.pop_front();
    return sent;
}

std::vector<SentMessage> ThreadQueue::close() {
    std::lock_guard guard(lock_);
    closed_ = true;
    std::vector<SentMessage> all(std::make_move_iterator(sent_.begin()),
                                 std::make_move_iterator(sent_.end()));
    sent_.clear();
    return all;
}

bool ThreadQueue::takePosted(MSG& msg, HWND filter, UINT min, UINT max, bool remove) {
    std::lock_guard guard(lock_);
    for (auto it = posted_.begin(); it != posted_.end(); ++it) {
        if ((filter == 0 || it->hwnd == filter) && matches(it->message, min, max)) {
            msg = *it;
            if (remove) {
                posted_.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool ThreadQueue::takeQuit(MSG& msg, bool remove) {
    std::lock_guard guard(lock_);
    if (!quit_) {
        return false;
    }
    msg = MSG{0, WM_QUIT, static_cast<WPARAM>(quitCode_), 0, tickCount()};
    if (remove) {
        quit_ = false;
    }
    return true;
}

void ThreadQueue::setPaintPending(HWND hwnd, bool pending) {
    {
        std::lock_guard guard(lock_);
        const auto it = std::find(paints_.begin(), paints_.end(), hwnd);
        if ((it != paints_.end()) == pending) {
            return;
        }
        if (!pending) {
            paints_.erase(it);
            return;
        }
        paints_.push_back(hwnd);
    }
    wakeOther();
}

bool ThreadQueue::takePaint(MSG& msg, HWND filter, UINT min, UINT max) {
    if (!matches(WM_PAINT, min, max)) {
        return false;
    }
    std::lock_guard guard(lock_);
    for (const HWND hwnd : paints_) {
        if (filter == 0 || hwnd == filter) {
            msg = MSG{hwnd, WM_PAINT, 0, 0, tickCount()};
            return true;
        }
    }
    return false;
}

bool ThreadQueue::hasWork() {
    {
        std::lock_guard guard(lock_);
        if (!sent_.empty() || !posted_.empty() || quit_ || !paints_.empty()) {
            return true;
        }
    }
    const auto now = Clock::now();
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.due <= now; });
}

bool ThreadQueue::setTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs) {
    // Windows raises periods below 10 ms to 10 ms.
    const auto period = std::chrono::milliseconds(std::max<UINT>(elapseMs, 10));
    const auto due = Clock::now() + period;
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it != timers_.end()) {
        it->period = period;
        it->due = due;
    } else {
        timers_.push_back(Timer{hwnd, id, period, due});
    }
    rearmTimer();
    return true;
}

bool ThreadQueue::killTimer(HWND hwnd, std::uintptr_t id) {
    const auto before = timers_.size();
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    rearmTimer();
    return timers_.size() != before;
}

void ThreadQueue::killTimers(HWND hwnd) {
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
    rearmTimer();
}

bool ThreadQueue::takeDueTimer(MSG& msg, HWND filter, UINT min, UINT max, bool remove) {
    if (timers_.empty() || !matches(WM_TIMER, min, max)) {
        return false;
    }
    const auto now = Clock::now();
    Timer* earliest = nullptr;
    for (Timer& t : timers_) {
        if (t.due <= now && (filter == 0 || t.hwnd == filter) &&
            (earliest == nullptr || t.due < earliest->due)) {
            earliest = &t;
        }
    }
    if (earliest == nullptr) {
        return false;
    }
    msg = MSG{earliest->hwnd, WM_TIMER, earliest->id, 0, tickCount()};
    if (remove) {
        earliest->due = now + earliest->period;
        rearmTimer();
    }
    return true;
}

void ThreadQueue::rearmTimer() {
    itimerspec timing{};
    if (!timers_.empty()) {
        auto due = timers_.front().due;
        for (const Timer& t : timers_) {
            due = std::min(due, t.due);
        }
        const auto ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(due.time_since_epoch()).count();
        // steady_clock is CLOCK_MONOTONIC on Linux; 0 would disarm, so a due time in the past
        // becomes one nanosecond.
        timing.it_value.tv_sec = static_cast<time_t>(ns / 1000000000);
        timing.it_value.tv_nsec = static_cast<long>(ns % 1000000000);
        if (timing.it_value.tv_sec == 0 && timing.it_value.tv_nsec == 0) {
            timing.it_value.tv_nsec = 1;
        }
    } else if (!timerArmed_) {
        return;
    }
    ::timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &timing, nullptr);
    timerArmed_ = !timers_.empty();
}

bool ThreadQueue::addSource(int fd, std::function<void()> onReadable) {
    if (fd < 0 || !onReadable) {
        return false;
    }
    removeSource(fd);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kTagSource;
    if (::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd, &ev) != 0) {
        return false;
    }
    sources_.push_back(Source{fd, std::move(onReadable)});
    return true;
}

void ThreadQueue::removeSource(int fd) {
    const auto before = sources_.size();
    std::erase_if(sources_, [&](const Source& s) { return s.fd == fd; });
    if (sources_.size() != before) {
        ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, fd, nullptr);
    }
}

void ThreadQueue::runReadySources() {
    if (sources_.empty()) {
        return;
    }
    std::vector<pollfd> fds;
    for (const Source& s : sources_) {
        fds.push_back(pollfd{s.fd, POLLIN, 0});
    }
    if (::poll(fds.data(), fds.size(), 0) <= 0) {
        return;
    }
    // A callback may add or remove sources: call copies of the ready ones.
    std::vector<std::function<void()>> ready;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents != 0) {
            ready.push_back(sources_[i].onReadable);
        }
    }
    for (auto& callback : ready) {
        callback();
    }
}

unsigned ThreadQueue::waitIdle(int timeoutMs) {
    epoll_event events[4];
    int n = 0;
    while ((n = ::epoll_wait(epoll_.get(), events, 4, timeoutMs)) < 0 && errno == EINTR) {
    }
    unsigned ready = 0;
    for (int i = 0; i < n; ++i) {
        switch (events[i].data.u64) {
            case kTagWake:
                ready |= kReadyWake;
                break;
            case kTagTimer:
                ready |= kReadyTimer;
                break;
            case kTagTransport:
                ready |= kReadyTransport;
                break;
            default:
                ready |= kReadySources;
                break;
        }
    }
    return ready;
}

}  // namespace win::detail
