// A ClientLink that records what the input host hands it, from any thread.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "axserver/modules/client_link.h"

namespace vexa::testing {

class RecordingClient : public ClientLink {
  public:
    void sendEvent(int32_t code, win::LPARAM) noexcept override {
        add("send event " + std::to_string(code));
    }
    void postEvent(int32_t code, win::LPARAM) noexcept override {
        add("event " + std::to_string(code));
    }
    void postStatus(int32_t code, win::LPARAM value) noexcept override {
        add("status " + std::to_string(code) + " " + std::to_string(value));
    }
    void sendMetadata(std::string_view text, int32_t number) noexcept override {
        std::string shown =
            text.size() > 64 ? std::to_string(text.size()) + " bytes" : std::string(text);
        add("metadata " + shown + " " + std::to_string(number));
    }

    std::vector<std::string> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // Threads other than the creating one that made calls.
    bool calledFromOtherThread() const {
        std::lock_guard lock(mutex_);
        return otherThread_;
    }

  private:
    void add(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        otherThread_ = otherThread_ || std::this_thread::get_id() != creator_;
    }

    mutable std::mutex mutex_;  // guards the members below
    std::vector<std::string> calls_;
    bool otherThread_ = false;
    std::thread::id creator_ = std::this_thread::get_id();
};

}  // namespace vexa::testing
