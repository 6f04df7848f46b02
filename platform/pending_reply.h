#pragma once
// The answer a waiting sender expects, and a sent message on its way to the window's thread.
// A PendingReply is completed exactly once, from whichever thread learns the outcome; the waiter
// reads it after done() answers true.

#include "platform/message_types.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace win::detail {

class ThreadQueue;
class Connection;

class PendingReply {
  public:
    PendingReply(std::shared_ptr<ThreadQueue> waiter, std::shared_ptr<Connection> connection)
        : waiter_(std::move(waiter)), connection_(std::move(connection)) {}

    // The first completion wins and wakes the waiter; later ones answer false.
    bool complete(LRESULT result, bool answered) noexcept;

    bool done() const noexcept { return state_.load(std::memory_order_acquire) != kWaiting; }
    bool answered() const noexcept { return state_.load(std::memory_order_acquire) == kAnswered; }
    LRESULT result() const noexcept { return result_; }  // only after done()
    const Connection* connection() const noexcept { return connection_.get(); }

  private:
    static constexpr int kWaiting = 0, kAnswered = 1, kFailed = 2;
    std::shared_ptr<ThreadQueue> waiter_;
    std::shared_ptr<Connection> connection_;  // the peer for a send to another process
    std::mutex lock_;                         // orders concurrent completions
    std::atomic<int> state_{kWaiting};
    LRESULT result_ = 0;  // written once under lock_ before state_ leaves kWaiting
};

struct SentMessage {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<PendingReply> localSender;  // a sender in this process
    std::shared_ptr<Connection> remoteSender;   // a sender in another process
    std::uint32_t seq = 0;                      // with remoteSender
};

}  // namespace win::detail
