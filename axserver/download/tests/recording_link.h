#pragma once
// A ClientLink that records the statuses raised through it, from any thread.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "axserver/modules/client_link.h"

namespace vexa::testing {

using Status = std::pair<int32_t, win::LPARAM>;

class RecordingLink final : public ClientLink {
  public:
    void sendEvent(int32_t, win::LPARAM) noexcept override {}
    void postEvent(int32_t, win::LPARAM) noexcept override {}
    void sendMetadata(std::string_view, int32_t) noexcept override {}
    void postStatus(int32_t code, win::LPARAM value) noexcept override {
        std::lock_guard lock(mutex_);
        statuses_.emplace_back(code, value);
        changed_.notify_all();
    }

    std::vector<Status> statuses() const {
        std::lock_guard lock(mutex_);
        return statuses_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        statuses_.clear();
    }
    // True once `code` has been raised (within a generous wait).
    bool waitFor(int32_t code) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [&] {
            for (const Status& status : statuses_) {
                if (status.first == code) {
                    return true;
                }
            }
            return false;
        });
    }

  private:
    mutable std::mutex mutex_;  // guards the members below
    std::condition_variable changed_;
    std::vector<Status> statuses_;
};

}  // namespace vexa::testing
