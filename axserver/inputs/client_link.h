// What the input host needs of the server core to reach the client: the server core implements
// it (posting to the client window, the status recording, the control block and its lock); tests
// implement it with a recorder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexa {

// The longest metadata text that fits the control block together with its number: the payload's
// 65536 bytes hold the text, its zero and the 32-bit number ("sl").
inline constexpr size_t kMaxMetadataText = 65536 - 1 - 4;

class ClientLink {
  public:
    virtual ~ClientLink() = default;

    // An event the server raises itself (101, no plug-in for a file): sent to the client, which
    // handles it before this returns. Main thread.
    virtual void sendEvent(int32_t code) noexcept = 0;

    // An event a plug-in raises: posted to the client with lParam 0. Any thread; does not wait.
    virtual void postEvent(int32_t code) noexcept = 0;

    // A status a plug-in raises: recorded (208, 214, 223), then posted to the client. Any thread;
    // does not wait.
    virtual void postStatus(int32_t code, int32_t value) noexcept = 0;

    // Metadata: writes "sl" (text, number) into the control block under the block's lock, then
    // sends the metadata message to the client and returns once the client has handled it (or
    // the client is gone). `text` has at most kMaxMetadataText bytes and no zero byte. Any thread.
    virtual void sendMetadata(std::string_view text, int32_t number) noexcept = 0;
};

}  // namespace vexa
