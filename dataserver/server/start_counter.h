#pragma once
// Station starts counted in memory and written in the background, so that a start is answered
// at once and never waits for the catalogue's write lock. A thread of its own writes what has
// been counted every `interval` (one transaction, on a connection of its own); a popular list
// that is about to be built writes what is pending first (flushPending), and stop() writes the
// rest. So a clean stop loses nothing, and a crash loses at most the starts of the last
// interval (a committed transaction survives the process in WAL mode).
//
// Thread-safe: count, hasPending and flushPending from any thread. stop() once, from the
// owner, after the last count; the destructor stops too.
//
// Errors: the constructor throws DbError when the catalogue cannot be opened. A failed write
// keeps the starts for the next one and is told to the error sink; nothing else throws.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "dataserver/store/catalogue.h"

namespace kinvo::ds {

class StartCounter {
  public:
    using ErrorSink = std::function<void(std::string_view)>;

    StartCounter(const std::string& databasePath, std::chrono::milliseconds interval,
                 ErrorSink errors);
    ~StartCounter();
    StartCounter(const StartCounter&) = delete;
    StartCounter& operator=(const StartCounter&) = delete;

    void count(std::int64_t stationId, std::int64_t now);
    // Whether starts were counted that are not yet committed (also while they are written).
    bool hasPending() const noexcept { return unwritten_.load() > 0; }

    // Writes the starts counted so far, after a write in progress (waited for up to
    // kWriteWait). False when that wait runs out or the write failed.
    bool flushPending() noexcept;

    static constexpr std::chrono::milliseconds kWriteWait{100};

    // Ends the writer thread and writes what is left. Never throws.
    void stop() noexcept;

  private:
    bool flushLocked() noexcept;  // with writeMutex_ held
    void run();

    ErrorSink errors_;
    const std::chrono::milliseconds interval_;

    std::timed_mutex writeMutex_;  // one write at a time
    Catalogue catalogue_;          // guarded by writeMutex_

    std::mutex countMutex_;
    std::vector<StationStart> counted_;  // guarded by countMutex_
    // Counted and not yet committed: counted_ and the batch being written.
    std::atomic<std::size_t> unwritten_{0};

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;  // guarded by wakeMutex_
    std::thread writer_;
};

}  // namespace kinvo::ds
