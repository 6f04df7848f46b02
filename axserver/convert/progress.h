#pragma once
// A conversion's progress as the client and the notify window see it: message 0x400 with lParam
// 604 and wParam = percent done to the notify window at most once a second, with status 224 (the
// same percent) to the client on the extended-read path; at the end 605 and status 225 with 0.
// A conversion that failed (its destination could not be written) raises status 225 with 1 and
// no 605; a conversion that was ended before its decoder finished raises neither.
//
// Threads: one converting thread calls add, finished and failed; the counters are atomics so
// that the main thread may read them.
#include <atomic>
#include <chrono>
#include <cstdint>

#include "axserver/modules/client_link.h"
#include "platform/message_types.h"

namespace vexa {

inline constexpr win::UINT kConvertMessage = 0x400;
inline constexpr win::LPARAM kProgressNotice = 604;
inline constexpr win::LPARAM kFinishedNotice = 605;
inline constexpr int32_t kConvertProgressStatus = 224;
inline constexpr int32_t kConvertFinishedStatus = 225;
inline constexpr win::LPARAM kConvertFinishedOk = 0;
inline constexpr win::LPARAM kConvertFinishedFailed = 1;

// trunc(processed * 100.0 / total); 0 when the total is unknown (0 or negative).
int32_t percentDone(int64_t processed, int64_t total) noexcept;

class Progress {
  public:
    // `client` null: no statuses (the play path).
    Progress(win::HWND notifyWindow, ClientLink* client, int64_t totalBytes) noexcept;

    // Counts decoded bytes and reports when more than a second passed since the last report.
    void add(int64_t bytes) noexcept;
    void finished() noexcept;
    void failed() noexcept;

    int64_t processedBytes() const noexcept { return processed_.load(); }
    int64_t totalBytes() const noexcept { return total_; }

  private:
    win::HWND notifyWindow_;
    ClientLink* client_;
    int64_t total_;
    std::atomic<int64_t> processed_{0};
    std::chrono::steady_clock::time_point lastReport_;  // converting thread only
};

}  // namespace vexa
