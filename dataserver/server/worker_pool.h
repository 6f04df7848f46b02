#pragma once
// The server's fixed pool of worker threads, one connection per worker at a time. It also tells
// how many accepted connections wait for a worker, so that a worker idling on a keep-alive
// connection can let it go when others are waiting instead of starving them.
//
// Thread-safe. shutdown() finishes the queued connections and joins the workers.

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kinvo::ds {

class WorkerPool final : public httplib::TaskQueue {
  public:
    explicit WorkerPool(std::size_t threads);
    ~WorkerPool() override;

    void enqueue(std::function<void()> job) override;
    void shutdown() override;

    std::size_t waiting() const noexcept { return waiting_.load(); }

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;  // guarded by mutex_
    bool stopping_ = false;                   // guarded by mutex_
    std::atomic<std::size_t> waiting_{0};     // jobs_.size(), readable without the lock
    std::vector<std::thread> threads_;
};

}  // namespace kinvo::ds
