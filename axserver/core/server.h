// The server mode of vexahost: its process-wide state, start-up, message loop and shutdown.
//
// One Server exists per process, made by the program on its main thread; every member runs on
// that thread unless marked. Start-up, in order: state reset, the server window of class
// "SonariCOM Hidden Window (Server)", the control block "Vexa_<window>", SRV_READY posted to the
// client, the liveness timer 0x935 (2000 ms), input plug-ins, output plug-ins, the
// "setHttpConfigValues" item for "blah.qrx", change notifications. run() then loops until the
// liveness timer finds the client window gone. Shutdown, in order: stop playback, end the
// conversions, unload input and output plug-ins, delete downloadTempFile, destroy the window, end
// the change notifications, destroy the control block.
//
// Error policy: as the system does, failures of window, block and notification set-up are not
// fatal - the server still runs (commands needing the block then answer 1) and still ends when
// the client goes. Nothing here throws.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "axserver/core/change_watch.h"
#include "axserver/core/channel_commands.h"
#include "axserver/core/program_paths.h"
#include "axserver/modules/command_router.h"
#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"
#include "channel/control_block.h"
#include "platform/message_types.h"

namespace vexa {

// Makes the modules once the server's link exists; a module not made is absent (its commands
// answer "not implemented", its hooks are skipped).
using ModuleFactory = std::function<ServerModules(ServerLink&)>;

class Server final : public ServerLink {
  public:
    Server(ProgramPaths paths, win::HWND clientWindow);
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    ~Server() override;

    // Start-up steps after the paths: window, block, SRV_READY, timer, modules, notifications.
    void start(const ModuleFactory& makeModules);
    // The message loop; answers the quit message's code.
    int run();
    // The shutdown steps; idempotent.
    void shutdown() noexcept;

    // The server window's procedure (main thread).
    win::LRESULT handleMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                               win::LPARAM lParam) noexcept;

    // ServerLink.
    win::HWND serverWindow() const override { return serverWindow_; }
    win::HWND clientWindow() const override { return clientWindow_.load(); }
    const std::string& moduleDir() const override { return paths_.moduleDir; }
    const std::string& downloadTempFile() const override { return paths_.downloadTempFile; }
    bool crossInstanceControl() const override { return crossInstanceControl_.load(); }
    BufferingState& buffering() override { return buffering_; }
    ControlBlock& controlBlock() override { return controlBlock_; }
    void sendEvent(int32_t code, win::LPARAM lParam = 0) noexcept override;
    void postEvent(int32_t code, win::LPARAM lParam = 0) noexcept override;
    void postStatus(int32_t code, win::LPARAM value) noexcept override;
    void sendMetadata(std::string_view text, int32_t number) noexcept override;
    void broadcastInstanceStop() override;
    void watchFolder(const std::string& folder) override;

    // Used by the channel's own commands (main thread).
    void setClientWindow(win::HWND client) { clientWindow_ = client; }
    void setCrossInstanceControl(bool on) { crossInstanceControl_ = on; }
    const ServerModules& modules() const { return modules_; }

  private:
    win::LRESULT dispatchCommand(win::HWND hwnd, win::WPARAM wParam, win::LPARAM lParam);
    void onChange(const ChangeWatch::Change& change);
    void raiseFilesChanged();

    ProgramPaths paths_;
    std::atomic<win::HWND> clientWindow_;  // written by the main thread (swap), read anywhere
    win::HWND serverWindow_ = 0;
    ControlBlock controlBlock_;  // contents guarded by controlBlock_.lock()
    std::atomic<bool> crossInstanceControl_{false};
    BufferingState buffering_;
    ServerModules modules_;
    ChannelCommands channelCommands_;
    CommandRouter router_;  // the channel's own commands and the modules' rows
    std::unique_ptr<ChangeWatch> changeWatch_;
    bool started_ = false;
    bool shutDown_ = false;
};

// Server-mode entry from the command line's client window: start-up, loop, shutdown. Answers the
// exit code. `executablePath` is the program's own full path.
int runServerMode(const std::string& executablePath, win::HWND clientWindow,
                  const ModuleFactory& makeModules);

// Burn-mode entry: paths, input plug-ins, burn mode, input plug-ins unloaded; answers 0.
int runBurnMode(const std::string& executablePath, const std::string& arguments,
                const ModuleFactory& makeModules);

}  // namespace vexa
