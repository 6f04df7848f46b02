// What the server core offers the other server modules: the channel to the client and the
// process-wide values they read. One object, owned by the server core, lives from start-up to
// the end of shutdown; modules get a reference when they are made.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/message_types.h"

namespace vexa {

class ControlBlock;

// The playback controller's buffering fields that status recording keeps. Written by any thread
// raising a status, read by the commands that report them (atomics: no lock needed).
struct BufferingState {
    std::atomic<bool> buffering{false};
    std::atomic<int32_t> bufferValue{0};

    void reset() noexcept {
        buffering = false;
        bufferValue = 0;
    }
};

class ServerLink {
public:
    virtual ~ServerLink() = default;

    // Any thread.
    virtual win::HWND serverWindow() const = 0;
    virtual win::HWND clientWindow() const = 0;
    virtual const std::string& moduleDir() const = 0;
    virtual const std::string& downloadTempFile() const = 0;
    virtual bool crossInstanceControl() const = 0;
    virtual BufferingState& buffering() = 0;
    // The control block; its lock orders every access from vexahost's threads.
    virtual ControlBlock& controlBlock() = 0;

    // Any thread. Status recording (208, 214, 223), then SRV_STATUS posted to the client.
    virtual void raiseStatus(int32_t code, win::LPARAM value) = 0;
    // Any thread. SRV_EVENT posted to the client.
    virtual void postEvent(int32_t code, win::LPARAM lParam = 0) = 0;
    // Main thread. SRV_EVENT sent to the client, waiting until it has handled it (the client may
    // send commands back meanwhile).
    virtual void sendEvent(int32_t code, win::LPARAM lParam = 0) = 0;
    // Any thread. Writes "sl" (text, number) under the block's lock, then sends SRV_METADATA to
    // the client and waits until it has read the block. A text that does not fit is cut so the
    // pair fits. No-op without a view.
    virtual void sendMetadata(std::string_view text, int32_t number) = 0;

    // Main thread. The stop broadcast: sends command 600 to every other server window, waiting
    // at most 5000 ms for each; their answers are ignored.
    virtual void broadcastInstanceStop() = 0;

    // Main thread. Adds a folder to the change notifications: changes of the folder's contents
    // raise events 112 and 240, changes and renames of playlist files too (see Playlist).
    virtual void watchFolder(const std::string& folder) = 0;
};

}  // namespace vexa
