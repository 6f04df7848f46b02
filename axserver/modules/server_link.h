// What the server core offers the other server modules: the way to the client and the
// process-wide values they read. One object, owned by the server core, lives from start-up to
// the end of shutdown; modules get a reference when they are made.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "axserver/modules/client_link.h"
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

class ServerLink : public ClientLink {
  public:
    // Any thread.
    virtual win::HWND serverWindow() const = 0;
    virtual win::HWND clientWindow() const = 0;
    virtual const std::string& moduleDir() const = 0;
    virtual const std::string& downloadTempFile() const = 0;
    virtual bool crossInstanceControl() const = 0;
    virtual BufferingState& buffering() = 0;
    // The control block; its lock orders every access from vexahost's threads.
    virtual ControlBlock& controlBlock() = 0;

    // Main thread. The stop broadcast: sends command 600 to every other server window, waiting
    // at most 5000 ms for each; their answers are ignored.
    virtual void broadcastInstanceStop() = 0;

    // Main thread. Adds a folder to the change notifications: changes of the folder's contents
    // raise events 112 and 240, changes and renames of playlist files too (see Playlist).
    virtual void watchFolder(const std::string& folder) = 0;
};

}  // namespace vexa
