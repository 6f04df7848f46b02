// The modules the server core drives, each behind a narrow interface; every later module of
// vexahost implements one of these and is wired in by the program (axserver/vexahost). A module
// that does not exist yet is stood in for by notImplementedModules(): its commands answer
// kStatusNotImplemented and its start-up and shutdown steps do nothing.
//
// Contract for every member function: main thread, never throws; start-up and shutdown calls
// come in the order documented on the server (axserver/core/server.h).
#pragma once

#include <memory>
#include <string>

#include "axserver/modules/command_module.h"

namespace vexa {

class ServerLink;

// Input plug-ins: loaded at start-up (both modes), unloaded at shutdown.
class InputHost : public CommandModule {
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
class OutputHost {
public:
    virtual ~OutputHost() = default;
    virtual void loadPlugins() noexcept = 0;
    virtual void unloadPlugins() noexcept = 0;
};

// The playlist: its commands, and the match of changed files against its entries.
class Playlist : public CommandModule {
public:
    // True when an entry's file name equals `path` exactly (case-sensitive).
    virtual bool hasEntryWithFile(const std::string& path) const noexcept = 0;
};

// The playback controller: its commands, the stop broadcast's effect, the end of a track.
class Playback : public CommandModule {
public:
    // Stop without refreshing the current entry (first shutdown step).
    virtual void stopForShutdown() noexcept = 0;
    // Stop playback (command 600 from another instance when cross-instance control is set).
    virtual void stopFromOtherInstance() noexcept = 0;
    // SRV_TRACK_END: the end-of-track handling; answers -1 when a shuffled playlist reached the
    // end of its order without repeat, else 0. Event 1 is raised by the core afterwards.
    virtual win::LRESULT handleTrackEnd() noexcept = 0;
};

// The video output: its commands and the window that stands for the video (0 when none).
class Video : public CommandModule {
public:
    virtual win::HWND videoParent() const noexcept = 0;
};

// Burn requests: their commands, and the burn window note of SRV_BURN_WINDOW.
class BurnRequests : public CommandModule {
public:
    virtual void setBurnWindow(win::WPARAM request, win::HWND burnWindow) noexcept = 0;
};

// Burn mode: runs with the text after "/BURN=" between loading and unloading the input plug-ins.
class BurnMode {
public:
    virtual ~BurnMode() = default;
    virtual void run(const std::string& arguments) noexcept = 0;
};

struct ServerModules {
    std::unique_ptr<InputHost> inputHost;
    std::unique_ptr<OutputHost> outputHost;
    std::unique_ptr<Playlist> playlist;
    std::unique_ptr<Playback> playback;
    std::unique_ptr<Video> video;
    std::unique_ptr<CommandModule> convert;
    std::unique_ptr<BurnRequests> burnRequests;
    std::unique_ptr<CommandModule> download;
    std::unique_ptr<BurnMode> burnMode;
};

// Every module a stand-in that answers kStatusNotImplemented.
ServerModules notImplementedModules();

// Replaces every missing (null) module of `modules` by its stand-in.
void fillMissingModules(ServerModules& modules);

}  // namespace vexa
