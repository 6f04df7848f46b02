#include "axserver/playback/start_codes.h"

#include "channel/protocol.h"

namespace vexa::playback {

namespace {

struct Row {
    int32_t code;
    int32_t events[2];
    int eventCount;
    AfterFailure then;
};

constexpr Row kRows[] = {
    {1, {kEventFailed100}, 1, AfterFailure::kAdvance},
    {2, {}, 0, AfterFailure::kAdvance},
    {-100, {kEventFailed100, kEventNotStarted}, 2, AfterFailure::kAdvance},
    {-200, {kEventNotStarted, kEventNotStarted}, 2, AfterFailure::kAdvance},
    {-202, {kEventNotStarted}, 1, AfterFailure::kStop},
    {-400, {kEventFailed400, kEventNotStarted}, 2, AfterFailure::kAdvance},
    {-500, {kEventFailed500, kEventNotStarted}, 2, AfterFailure::kAdvance},
    {-31337, {kEventPluginRefused, kEventNotStarted}, 2, AfterFailure::kStop},
};

constexpr int32_t kOtherEvents[] = {kEventNotStarted};

}  // namespace

StartFailure startFailure(int32_t code) noexcept {
    for (const Row& row : kRows) {
        if (row.code == code) {
            return {std::span<const int32_t>(row.events, static_cast<size_t>(row.eventCount)),
                    row.then};
        }
    }
    return {kOtherEvents, AfterFailure::kAdvance};
}

}  // namespace vexa::playback
