#include "axserver/convert/progress.h"

#include "platform/messages.h"

namespace vexa {

int32_t percentDone(int64_t processed, int64_t total) noexcept {
    if (total <= 0) {
        return 0;
    }
    const double percent = static_cast<double>(processed) * 100.0 / static_cast<double>(total);
    // A decoder that gives more than it announced must not overflow the number.
    return percent >= 2147483647.0 ? 2147483647 : static_cast<int32_t>(percent);
}

Progress::Progress(win::HWND notifyWindow, ClientLink* client, int64_t totalBytes) noexcept
    : notifyWindow_(notifyWindow),
      client_(client),
      total_(totalBytes),
      lastReport_(std::chrono::steady_clock::now()) {}

void Progress::add(int64_t bytes) noexcept {
    const int64_t processed = processed_ += bytes;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastReport_ <= std::chrono::milliseconds(1000)) {
        return;
    }
    lastReport_ = now;
    const int32_t percent = percentDone(processed, total_);
    if (notifyWindow_ != 0) {
        win::postMessage(notifyWindow_, kConvertMessage, static_cast<win::WPARAM>(percent),
                         kProgressNotice);
    }
    if (client_ != nullptr) {
        client_->postStatus(kConvertProgressStatus, percent);
    }
}

void Progress::finished() noexcept {
    if (notifyWindow_ != 0) {
        win::postMessage(notifyWindow_, kConvertMessage, 0, kFinishedNotice);
    }
    if (client_ != nullptr) {
        client_->postStatus(kConvertFinishedStatus, kConvertFinishedOk);
    }
}

void Progress::failed() noexcept {
    if (client_ != nullptr) {
        client_->postStatus(kConvertFinishedStatus, kConvertFinishedFailed);
    }
}

}  // namespace vexa
