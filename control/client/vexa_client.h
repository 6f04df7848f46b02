// libvexaclient: the client side of vexahost's control channel.
//
// A VexaClient owns a message-only client window on the thread that made it; every member is
// called on that thread. It starts vexahost with that window's handle, waits for SRV_READY,
// opens the control block and then carries commands: call() packs the arguments by the
// command's type string, sends SRV_COMMAND, checks the status and unpacks the results, so
// callers never touch the block. Events (SRV_EVENT, SRV_STATUS, SRV_METADATA) reach the event
// handler on this thread, from pump()/waitFor() or from inside a call (the server may send
// events while it handles a command); the metadata text is read from the block while the
// message is handled, as the server expects.
//
// The server lives as long as the client window: destroying the client (or its thread ending)
// makes vexahost end within about two seconds.
//
// Errors: start() and attach() answer false with a reason in lastError(); a command that cannot
// be delivered (no server, the server process ended) answers a Reply with delivered = false.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "channel/control_block.h"
#include "channel/swap_block.h"
#include "channel/values.h"
#include "platform/message_types.h"
#include "platform/process.h"

namespace vexa {

struct ClientEvent {
    enum class Kind { kEvent, kStatus, kMetadata } kind;
    int32_t code = 0;       // event or status code; metadata: 0
    win::LPARAM value = 0;  // event: lParam; status: the value; metadata: the number
    std::string text;       // metadata only
};

struct Reply {
    bool delivered = false;  // false: the server could not be reached
    uint32_t status = 0;     // the command's 32-bit answer
    Values results;          // unpacked when status is 0 and the command has results

    bool ok() const { return delivered && status == 0; }
    int32_t number(size_t i) const { return i < results.size() ? results[i].number : 0; }
    const std::string& text(size_t i) const;
};

class VexaClient {
  public:
    VexaClient();  // creates the client window
    VexaClient(const VexaClient&) = delete;
    VexaClient& operator=(const VexaClient&) = delete;
    ~VexaClient();  // destroys the window: the server (if any) ends by itself

    win::HWND window() const { return window_; }
    win::HWND serverWindow() const { return serverWindow_; }
    // The started server process (null when attached to a server started elsewhere).
    win::ChildProcess* serverProcess() { return process_ ? &*process_ : nullptr; }
    // True while the started server process runs (reaping it once it has ended).
    bool serverRunning();
    const std::string& lastError() const { return lastError_; }

    // Starts `serverPath` with this window's handle, waits up to `timeout` for SRV_READY and
    // opens the control block. `cancelled`, when given, is asked between waits (about every
    // 50 ms): once it answers true the wait gives up and start() answers false.
    bool start(const std::string& serverPath,
               std::chrono::milliseconds timeout = std::chrono::seconds(20),
               const std::function<bool()>& cancelled = {});
    // Uses a server that already serves this window (after a swap); opens its block.
    bool attach(win::HWND serverWindow);
    // Destroys the client window now (the server then ends by itself); the object stays usable
    // for waiting on the server process.
    void closeWindow();
    // Forgets the server without ending it (after handing it to another client).
    void detach();

    // A command by its table row: `args` must match the row's argument types; results are read
    // by the row's result types. Numbers the table does not know send no arguments and read no
    // results.
    Reply call(int32_t number, const Values& args = {}, win::WPARAM wParam = 0);
    // A command with explicit argument and result type strings, the row not consulted (for
    // testing the server's argument checks). `writeArgs` false sends without touching the block.
    Reply callRaw(int32_t number, const Values& args, std::string_view resultTypes,
                  bool writeArgs = true, win::WPARAM wParam = 0);

    // The block, for tests that check its layout or write it by hand; null before start.
    ControlBlock* block() { return block_ ? &*block_ : nullptr; }

    using EventHandler = std::function<void(const ClientEvent&)>;
    void setEventHandler(EventHandler handler) { handler_ = std::move(handler); }

    // Handles what has arrived, waiting up to `timeout` for the first message.
    void pump(std::chrono::milliseconds timeout);
    // Pumps until `done` answers true or `timeout` passes; answers `done`'s last value.
    bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    // Client swap. The server asks its current client for consent with command 800; the
    // default answer is consent, after which this client detaches. The handler can refuse.
    using SwapConsent = std::function<bool(int32_t swapNumber)>;
    void setSwapConsent(SwapConsent consent) { swapConsent_ = std::move(consent); }
    // Takes `server` over from its current client through the block "VexaSwap_<n>\n" (made
    // here, state 0, slot3 = this window). True when the server now serves this client.
    bool takeOver(win::HWND server, int32_t swapNumber);

    // Hands this client's server to `newClient` through the block "VexaSwap_<n>\n" (made here,
    // state 2, slot1 = the server window, slot2 = newClient); on success this client detaches
    // and the new one attaches to the server window it finds in slot3.
    bool handOver(win::HWND newClient, int32_t swapNumber);

    // The window procedure's body (this thread).
    win::LRESULT handleMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                               win::LPARAM lParam) noexcept;

  private:
    bool openBlock(win::HWND server);
    // Makes the swap block "VexaSwap_<n>\n" with `slots` set and sends command 800 to `server`;
    // the block when the server answered 1 (it then holds the server's side), else nullopt with
    // lastError_ set.
    std::optional<SwapBlock> requestSwap(win::HWND server, int32_t swapNumber,
                                         std::initializer_list<std::pair<int, int32_t>> slots);
    void deliver(const ClientEvent& event);

    win::HWND window_ = 0;
    win::HWND serverWindow_ = 0;
    std::optional<win::ChildProcess> process_;
    bool processEnded_ = false;
    std::optional<ControlBlock> block_;
    EventHandler handler_;
    SwapConsent swapConsent_;
    std::string lastError_;
    win::HWND readyWindow_ = 0;  // from SRV_READY, while start() waits
};

}  // namespace vexa
