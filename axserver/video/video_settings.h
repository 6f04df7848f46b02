#pragma once
// The program-wide video settings: one value each for the whole process, set by the commands on
// the main thread and read by the video output from any thread (atomics, no lock).

#include <atomic>
#include <cstdint>

#include "platform/message_types.h"

namespace vexa::video {

struct VideoSettings {
    std::atomic<bool> autoSize{true};
    std::atomic<bool> showLogo{false};
    std::atomic<bool> allowOverlay{true};
    std::atomic<std::int32_t> subtitlesEnabled{1};
    // Width and height given to the last open, after the defaults.
    std::atomic<std::int32_t> lastOpenWidth{0};
    std::atomic<std::int32_t> lastOpenHeight{0};
    // The client's parent window when one was given, else the video window itself; 0 before the
    // first video window.
    std::atomic<win::HWND> videoParent{0};
    // A plug-in fetched the video output since the last close.
    std::atomic<bool> outputHandedOut{false};
    // The video parent was shown once by a successful open.
    std::atomic<bool> parentShown{false};
};

}  // namespace vexa::video
