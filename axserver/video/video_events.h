#pragma once
// Where the video output's events go. The server implements it: events and statuses are posted
// to the server window, which passes them on to the client, so that a pending "video closed" can
// still be taken back from the server's queue; "full screen left" is sent to the client and
// waited for.

#include <cstdint>

#include "platform/message_types.h"

namespace vexa::video {

class VideoEvents {
  public:
    virtual ~VideoEvents() = default;
    // Any thread; does not wait.
    virtual void postEvent(std::int32_t code) noexcept = 0;
    virtual void postStatus(std::int32_t code, win::LPARAM value) noexcept = 0;
    // The window's thread; returns once the client handled it.
    virtual void sendEvent(std::int32_t code) noexcept = 0;
};

}  // namespace vexa::video
