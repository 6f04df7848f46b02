// The way from any server module to the client: events, statuses and metadata. The server core
// implements it (posting to the client window, the status recording, the control block and its
// lock); tests implement it with recorders. Every call is noexcept: plug-in threads reach it
// from C callbacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/message_types.h"

namespace vexa {

// The longest metadata text that fits the control block together with its number: the payload's
// 65536 bytes hold the text, its zero and the 32-bit number ("sl").
inline constexpr size_t kMaxMetadataText = 65536 - 1 - 4;

class ClientLink {
  public:
    virtual ~ClientLink() = default;

    // SRV_EVENT sent to the client, which handles it (and may send commands back) before this
    // returns. Main thread.
    virtual void sendEvent(int32_t code, win::LPARAM lParam = 0) noexcept = 0;

    // SRV_EVENT posted to the client. Any thread; does not wait.
    virtual void postEvent(int32_t code, win::LPARAM lParam = 0) noexcept = 0;

    // A status: recorded (208, 214, 223), then SRV_STATUS posted to the client. Any thread; does
    // not wait.
    virtual void postStatus(int32_t code, win::LPARAM value) noexcept = 0;

    // Metadata: writes "sl" (text, number) into the control block under the block's lock, then
    // sends SRV_METADATA to the client and returns once the client has handled it (or the client
    // is gone). A text longer than kMaxMetadataText is cut, and so is one at a zero byte; nothing
    // happens without a block. Any thread.
    virtual void sendMetadata(std::string_view text, int32_t number) noexcept = 0;
};

}  // namespace vexa
