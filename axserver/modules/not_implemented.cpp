// Stand-ins for modules that are not built yet. Their commands answer "not implemented" rather
// than a success that did nothing; their steps do nothing, as a server without plug-ins would.
#include "axserver/channel/protocol.h"
#include "axserver/modules/server_modules.h"

namespace vexa {

namespace {

win::LRESULT notImplemented() { return static_cast<win::LRESULT>(kStatusNotImplemented); }

class NoInputHost final : public InputHost {
public:
    win::LRESULT handleCommand(CommandCall&) noexcept override { return notImplemented(); }
    void loadPlugins() noexcept override {}
    void unloadPlugins() noexcept override {}
    bool setExtendedFileInfo(const std::string&, const std::string&,
                             const std::string&) noexcept override {
        return false;
    }
};

class NoOutputHost final : public OutputHost {
public:
    void loadPlugins() noexcept override {}
    void unloadPlugins() noexcept override {}
};

class NoPlaylist final : public Playlist {
public:
    win::LRESULT handleCommand(CommandCall&) noexcept override { return notImplemented(); }
    bool hasEntryWithFile(const std::string&) const noexcept override { return false; }
};

class NoPlayback final : public Playback {
public:
    win::LRESULT handleCommand(CommandCall&) noexcept override { return notImplemented(); }
    void stopForShutdown() noexcept override {}
    void stopFromOtherInstance() noexcept override {}
    win::LRESULT handleTrackEnd() noexcept override { return 0; }
};

class NoCommands final : public CommandModule {
public:
    win::LRESULT handleCommand(CommandCall&) noexcept override { return notImplemented(); }
};

class NoVideo final : public Video {
public:
    win::LRESULT handleCommand(CommandCall&) noexcept override { return notImplemented(); }
    win::HWND videoParent() const noexcept override { return 0; }
};

class NoBurnRequests final : public BurnRequests {
public:
    win::LRESULT handleCommand(CommandCall&) noexcept override { return notImplemented(); }
    void setBurnWindow(win::WPARAM, win::HWND) noexcept override {}
};

class NoBurnMode final : public BurnMode {
public:
    void run(const std::string&) noexcept override {}
};

}  // namespace

void fillMissingModules(ServerModules& m) {
    if (!m.inputHost) m.inputHost = std::make_unique<NoInputHost>();
    if (!m.outputHost) m.outputHost = std::make_unique<NoOutputHost>();
    if (!m.playlist) m.playlist = std::make_unique<NoPlaylist>();
    if (!m.playback) m.playback = std::make_unique<NoPlayback>();
    if (!m.video) m.video = std::make_unique<NoVideo>();
    if (!m.convert) m.convert = std::make_unique<NoCommands>();
    if (!m.burnRequests) m.burnRequests = std::make_unique<NoBurnRequests>();
    if (!m.download) m.download = std::make_unique<NoCommands>();
    if (!m.burnMode) m.burnMode = std::make_unique<NoBurnMode>();
}

ServerModules notImplementedModules() {
    ServerModules m;
    fillMissingModules(m);
    return m;
}

}  // namespace vexa
