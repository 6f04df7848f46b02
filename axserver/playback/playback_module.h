// The playback controller as a server module: commands 701, 703 to 708, 712, 713, 715 to 720
// and 753, the end of a track, the stop of command 600 and the stop at shutdown; it tells the
// playlist whether something plays (command 735).
//
// Command answers: 0, with results where the command has them; 1 when the arguments do not read
// (nothing happens); 713 answers 1 when the shuffled order stepped back past its first place.
//
// Threads: main thread only, like every module.
#pragma once

#include <memory>

#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"
#include "axserver/playback/playback_controller.h"

namespace vexa {

class PlaylistModule;

class PlaybackModule final : public Playback {
  public:
    // `inputs` and `playlist` must outlive the module; the playlist asks it whether something
    // plays until the module goes.
    // `video` (may be null) is closed after every stop of the input plug-in.
    PlaybackModule(ServerLink& link, InputPluginHost& inputs, PlaylistModule& playlist,
                   Video* video);
    ~PlaybackModule() override;
    PlaybackModule(const PlaybackModule&) = delete;
    PlaybackModule& operator=(const PlaybackModule&) = delete;

    std::span<const CommandHandler> commands() const noexcept override;
    void stopForShutdown() noexcept override;
    void stopFromOtherInstance() noexcept override;
    win::LRESULT handleTrackEnd() noexcept override;

    playback::PlaybackController& controller() noexcept { return controller_; }

  private:
    win::LRESULT play(CommandCall& call);
    win::LRESULT stop(CommandCall& call);
    win::LRESULT pauseToggle(CommandCall& call);
    win::LRESULT position(CommandCall& call);
    win::LRESULT seek(CommandCall& call);
    win::LRESULT volume(CommandCall& call);
    win::LRESULT setVolume(CommandCall& call);
    win::LRESULT next(CommandCall& call);
    win::LRESULT previous(CommandCall& call);
    win::LRESULT setShuffle(CommandCall& call);
    win::LRESULT shuffle(CommandCall& call);
    win::LRESULT setRepeat(CommandCall& call);
    win::LRESULT repeat(CommandCall& call);
    win::LRESULT state(CommandCall& call);
    win::LRESULT length(CommandCall& call);
    win::LRESULT bufferStatus(CommandCall& call);

    PlaylistModule& playlist_;
    playback::PlaybackController controller_;
};

// The module table's maker: needs the input host and the playlist made before it (null, and
// playback absent, without them); closes the video module's output when that was made before.
std::unique_ptr<ServerModule> makePlaybackModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
