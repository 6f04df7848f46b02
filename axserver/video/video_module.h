#pragma once
// The video output's module: the commands that set the video window, its size, full screen and
// the video settings, the query through which plug-ins fetch the video output, and the close the
// playback controller asks for after a stop. The video output itself comes into being with the
// first video window the client sets and lives until the module goes at shutdown (after the
// plug-ins are unloaded).
//
// Main thread, like every module (command_module.h); the video output's own entries are called
// by plug-ins from their threads.

#include <memory>

#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"
#include "axserver/video/video_events.h"
#include "axserver/video/video_output.h"
#include "axserver/video/video_settings.h"

namespace vexa {

class VideoModule final : public Video, public video::VideoEvents {
  public:
    VideoModule(ServerLink& link, video::RendererFactory renderers);
    ~VideoModule() override;

    std::span<const CommandHandler> commands() const noexcept override;
    win::HWND videoParent() const noexcept override { return settings_.videoParent; }
    void closeOutput() noexcept override;

  private:
    win::LRESULT getOutput(CommandCall& call);
    win::LRESULT setParent(CommandCall& call);
    win::LRESULT setAutoSize(CommandCall& call);
    win::LRESULT getSize(CommandCall& call);
    win::LRESULT enterFullScreen(CommandCall& call);
    win::LRESULT leaveFullScreen(CommandCall& call);
    win::LRESULT setAllowOverlay(CommandCall& call);
    win::LRESULT setSubtitles(CommandCall& call);
    win::LRESULT setShowLogo(CommandCall& call);
    win::LRESULT attach(CommandCall& call);
    // Takes back the "video closed" events still queued for the client; when none was, tells
    // the client at once that a plug-in fetched the video output. Marks it handed out.
    void handOut() noexcept;

    // VideoEvents.
    void postEvent(int32_t code) noexcept override;
    void postStatus(int32_t code, win::LPARAM value) noexcept override;
    void sendEvent(int32_t code) noexcept override;

    ServerLink& link_;
    video::RendererFactory renderers_;
    video::VideoSettings settings_;
    std::unique_ptr<video::VideoOutput> output_;
};

// The module with the renderers of axserver/video/renderers.
std::unique_ptr<ServerModule> makeVideoModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
