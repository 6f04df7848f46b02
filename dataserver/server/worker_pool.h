#pragma once
// The server's fixed pool of worker threads. A job is one complete request (its head and body
// already received by ConnectionHub) to answer and write; slow or silent clients never reach a
// worker.
//
// Thread-safe. shutdown() runs the jobs already queued, then joins the workers; jobs enqueued
// after it are dropped.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kinvo::ds {

class WorkerPool {
  public:
    explicit WorkerPool(std::size_t threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void enqueue(std::function<void()> job);
    void shutdown() noexcept;

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;  // guarded by mutex_
    bool stopping_ = false;                   // guarded by mutex_
    std::vector<std::thread> threads_;        // owner's thread only
};

}  // namespace kinvo::ds
