// The modules of vexahost and the hooks through which the server core drives them beside their
// commands. The program makes its modules from one table (axserver/vexahost/modules.cpp); a
// module that is not built yet is simply absent: its commands answer "not implemented" and the
// core skips its hooks, as a server without that part would.
//
// Contract for every member function: main thread, never throws; the hooks come in the order
// documented on the server (axserver/core/server.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "axserver/modules/command_module.h"

namespace vexa {

// Input plug-ins: loaded at start-up (both modes), unloaded at shutdown.
class InputHost : public ServerModule {
  public:
    virtual void loadPlugins() noexcept = 0;
    virtual void unloadPlugins() noexcept = 0;
    // Sets an extended file information item through the plug-in that claims `file`; false when
    // none does or it refuses.
    virtual bool setExtendedFileInfo(const std::string& file, const std::string& item,
                                     const std::string& value) noexcept = 0;
};

// Output plug-ins: loaded (and the preferred one chosen) at server start-up, unloaded at
// shutdown. They take no commands of their own.
class OutputHost : public ServerModule {
  public:
    virtual void loadPlugins() noexcept = 0;
    virtual void unloadPlugins() noexcept = 0;
};

// The playlist: its commands, and the match of changed files against its entries.
class Playlist : public ServerModule {
  public:
    // True when an entry's file name equals `path` exactly (case-sensitive).
    virtual bool hasEntryWithFile(const std::string& path) const noexcept = 0;
};

// The playback controller: its commands, the stop broadcast's effect, the end of a track.
class Playback : public ServerModule {
  public:
    // Stop without refreshing the current entry (first shutdown step).
    virtual void stopForShutdown() noexcept = 0;
    // Stop playback (command 600 from another instance when cross-instance control is set).
    virtual void stopFromOtherInstance() noexcept = 0;
    // SRV_TRACK_END: the end-of-track handling; answers -1 when a shuffled playlist reached the
    // end of its order without repeat, else 0. Event 1 is raised by the core afterwards.
    virtual win::LRESULT handleTrackEnd() noexcept = 0;
};

// The video output: its commands, the window that stands for the video (0 when none), and the
// close the playback controller asks for once it has stopped the input plug-in.
class Video : public ServerModule {
  public:
    virtual win::HWND videoParent() const noexcept = 0;
    virtual void closeOutput() noexcept = 0;
};

// Stream download: the one routine that fetches a whole address into a local file, raising
// statuses 200 to 206 to the client on the way. The playlist fetches remote playlists with it;
// plug-ins reach the same routine through command 240.
class StreamDownload : public ServerModule {
  public:
    // 0 success, 1 failure; 1 at once, raising nothing, while another download runs. Any thread;
    // the caller waits until the transfer ends.
    virtual int32_t download(const std::string& address,
                             const std::string& destinationFile) noexcept = 0;
};

// Conversions: their commands, and the end of every running one at shutdown, before the input
// plug-ins that decode them are unloaded.
class Conversions : public ServerModule {
  public:
    virtual void endAll() noexcept = 0;
};

// Burn requests: their commands, and the burn window note of SRV_BURN_WINDOW.
class BurnRequests : public ServerModule {
  public:
    virtual void setBurnWindow(win::WPARAM request, win::HWND burnWindow) noexcept = 0;
};

// Burn mode: runs with the text after "/BURN=" between loading and unloading the input plug-ins.
class BurnMode : public ServerModule {
  public:
    virtual void run(const std::string& arguments) noexcept = 0;
};

// The modules of one server, in the order they were made; destroyed in the reverse order.
class ServerModules {
  public:
    ServerModules() = default;
    ServerModules(ServerModules&&) noexcept = default;
    ServerModules& operator=(ServerModules&& other) noexcept;
    ~ServerModules() { clear(); }

    void add(std::unique_ptr<ServerModule> module);
    // The first module that is a T; null when there is none.
    template <class T>
    T* find() const noexcept {
        for (const auto& module : modules_) {
            if (auto* found = dynamic_cast<T*>(module.get())) {
                return found;
            }
        }
        return nullptr;
    }
    const std::vector<std::unique_ptr<ServerModule>>& all() const noexcept { return modules_; }
    // Destroys the modules, the last made first.
    void clear() noexcept;

  private:
    std::vector<std::unique_ptr<ServerModule>> modules_;
};

class ServerLink;

// Makes one module with the server's link; `made` holds the modules made before it, which it may
// use for as long as it lives. Null when the module cannot be made (it is then absent).
using ModuleMaker = std::unique_ptr<ServerModule> (*)(ServerLink& link, const ServerModules& made);

}  // namespace vexa
