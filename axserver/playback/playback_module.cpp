#include "axserver/playback/playback_module.h"

#include "axserver/inputs/input_host_module.h"
#include "axserver/playback/process_priority.h"
#include "axserver/playback/streaming_dialog.h"
#include "axserver/playlist/playlist_module.h"
#include "channel/protocol.h"
#include "platform/messages.h"

namespace vexa {

namespace {

constexpr win::LRESULT kOk = kStatusOk;
constexpr win::LRESULT kFailed = kStatusFailed;

using M = PlaybackModule;

playback::ControllerServices servicesFor(ServerLink& link, Video* video) {
    playback::ControllerServices services;
    if (video != nullptr) {
        services.closeVideo = [video] { video->closeOutput(); };
    }
    services.postTrackEnd = [&link] { win::postMessage(link.serverWindow(), SRV_TRACK_END, 0, 0); };
    services.closeStreamingDialog = [] { return playback::closeStreamingDialog(); };
    services.crossInstanceControl = [&link] { return link.crossInstanceControl(); };
    services.broadcastInstanceStop = [&link] { link.broadcastInstanceStop(); };
    services.normalPriority = [] { playback::setNormalPriority(); };
    return services;
}

// Writes one number as the command's result.
win::LRESULT answer(CommandCall& call, int32_t value) {
    return call.writeResults({Value::l(value)}) ? kOk : kFailed;
}

}  // namespace

PlaybackModule::PlaybackModule(ServerLink& link, InputPluginHost& inputs, PlaylistModule& playlist,
                               Video* video)
    : playlist_(playlist),
      controller_(link, link.buffering(), inputs, playlist.playlist(), servicesFor(link, video)) {
    playlist_.setPlayingQuery([this] { return controller_.playing(); });
}

PlaybackModule::~PlaybackModule() {
    playlist_.setPlayingQuery(nullptr);
}

std::unique_ptr<ServerModule> makePlaybackModule(ServerLink& link, const ServerModules& made) {
    auto* inputs = made.find<InputHostModule>();
    auto* playlist = made.find<PlaylistModule>();
    if (inputs == nullptr || playlist == nullptr) {
        return nullptr;
    }
    return std::make_unique<PlaybackModule>(link, inputs->plugins(), *playlist, made.find<Video>());
}

std::span<const CommandHandler> PlaybackModule::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {
        on<&M::play>(CMD_PLAY),
        on<&M::stop>(CMD_STOP),
        on<&M::pauseToggle>(CMD_PAUSE_TOGGLE),
        on<&M::position>(CMD_GET_POSITION),
        on<&M::seek>(CMD_SEEK),
        on<&M::volume>(CMD_GET_VOLUME),
        on<&M::setVolume>(CMD_SET_VOLUME),
        on<&M::next>(CMD_NEXT),
        on<&M::previous>(CMD_PREVIOUS),
        on<&M::setShuffle>(CMD_SET_SHUFFLE),
        on<&M::shuffle>(CMD_GET_SHUFFLE),
        on<&M::setRepeat>(CMD_SET_REPEAT),
        on<&M::repeat>(CMD_GET_REPEAT),
        on<&M::state>(CMD_GET_STATE),
        on<&M::length>(CMD_GET_LENGTH),
        on<&M::bufferStatus>(CMD_GET_BUFFER_STATUS),
    };
    return kRows;
}

void PlaybackModule::stopForShutdown() noexcept {
    try {
        controller_.stop(true);
    } catch (...) {
    }
}

void PlaybackModule::stopFromOtherInstance() noexcept {
    try {
        controller_.stop(false);
    } catch (...) {
    }
}

win::LRESULT PlaybackModule::handleTrackEnd() noexcept {
    try {
        return controller_.endOfTrack() ? 0 : -1;
    } catch (...) {
        return 0;
    }
}

win::LRESULT PlaybackModule::play(CommandCall&) {
    controller_.play();
    return kOk;
}

win::LRESULT PlaybackModule::stop(CommandCall&) {
    controller_.stop(false);
    return kOk;
}

win::LRESULT PlaybackModule::pauseToggle(CommandCall&) {
    controller_.pauseToggle();
    return kOk;
}

win::LRESULT PlaybackModule::position(CommandCall& call) {
    return answer(call, controller_.position());
}

win::LRESULT PlaybackModule::seek(CommandCall& call) {
    return withNumber(call, [this](int32_t seconds) { controller_.seek(seconds); });
}

win::LRESULT PlaybackModule::volume(CommandCall& call) {
    return answer(call, controller_.volume());
}

win::LRESULT PlaybackModule::setVolume(CommandCall& call) {
    return withNumber(call, [this](int32_t volume) { controller_.setVolume(volume); });
}

win::LRESULT PlaybackModule::next(CommandCall&) {
    controller_.next();
    return kOk;
}

win::LRESULT PlaybackModule::previous(CommandCall&) {
    return controller_.previous();
}

win::LRESULT PlaybackModule::setShuffle(CommandCall& call) {
    return withNumber(call, [this](int32_t on) { controller_.setShuffle(on); });
}

win::LRESULT PlaybackModule::shuffle(CommandCall& call) {
    return answer(call, controller_.shuffle());
}

win::LRESULT PlaybackModule::setRepeat(CommandCall& call) {
    return withNumber(call, [this](int32_t on) { controller_.setRepeat(on); });
}

win::LRESULT PlaybackModule::repeat(CommandCall& call) {
    return answer(call, controller_.repeat());
}

win::LRESULT PlaybackModule::state(CommandCall& call) {
    return answer(call, controller_.state());
}

win::LRESULT PlaybackModule::length(CommandCall& call) {
    return answer(call, controller_.length());
}

win::LRESULT PlaybackModule::bufferStatus(CommandCall& call) {
    return answer(call, controller_.bufferStatus());
}

}  // namespace vexa
