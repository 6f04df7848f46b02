#include "controls/player/media_player.h"

#include "channel/protocol.h"
#include "control/client/vexa_client.h"

namespace kinvo::controls {

namespace {

using component::PlayerState;

// Reads the server's state, and the position and length while something plays.
void readProgress(Session& session) {
    vexa::Reply state = session.client().call(vexa::CMD_GET_STATE);
    if (!state.ok()) {
        return;
    }
    if (state.number(0) == 1 || state.number(0) == 3) {
        vexa::Reply position = session.client().call(vexa::CMD_GET_POSITION);
        vexa::Reply length = session.client().call(vexa::CMD_GET_LENGTH);
        if (position.ok() && length.ok()) {
            session.emit({ServerEvent::Kind::kAnswer,
                          vexa::CMD_GET_POSITION,
                          position.number(0),
                          length.number(0),
                          {}});
        }
    }
    session.emit({ServerEvent::Kind::kAnswer, vexa::CMD_GET_STATE, state.number(0), 0, {}});
}

// A play was asked for: the player reports itself opening.
void playAsked(Session& session) {
    session.emit({ServerEvent::Kind::kAnswer, vexa::CMD_PLAY, 0, 0, {}});
    session.client().call(vexa::CMD_PLAY);
}

bool isFailureEvent(std::int32_t code) {
    return code >= vexa::kEventPluginRefused && code <= vexa::kEventQuickTimeM4p &&
           code != vexa::kEventFilesChanged;
}

}  // namespace

MediaPlayerObject::MediaPlayerObject(const PlayerKind& kind, std::string serverPath)
    : kind_(kind), serverPath_(std::move(serverPath)) {}

void MediaPlayerObject::Release() noexcept {
    {
        std::lock_guard lock(eventsLock_);
        events_ = nullptr;
    }
    if (engine_) {
        engine_->stop();
    }
    delete this;
}

void MediaPlayerObject::SetEvents(component::PlayerEvents* events) noexcept {
    std::lock_guard lock(eventsLock_);
    events_ = events;
}

void MediaPlayerObject::SetParam(const char* name, const char* value) noexcept {
    try {
        params_.emplace_back(name != nullptr ? name : "", value != nullptr ? value : "");
    } catch (...) {
        // Out of memory: the parameter is lost.
    }
}

std::int32_t MediaPlayerObject::ShowsControls() noexcept {
    try {
        return resolveSetup(kind_, params_).showsControls ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void MediaPlayerObject::SetWindow(std::uint64_t window) noexcept {
    window_ = window;
    post([window](Session& session) {
        session.client().call(vexa::CMD_SET_VIDEO_PARENT,
                              {vexa::Value::l(static_cast<std::int32_t>(window))});
    });
}

void MediaPlayerObject::Start() noexcept {
    if (engine_) {
        return;
    }
    try {
        PlayerSetup setup = resolveSetup(kind_, params_);
        engine_.emplace(serverPath_, [this](const ServerEvent& e) { deliver(e); });
        std::uint64_t window = window_;
        engine_->post([setup, window](Session& session) {
            vexa::VexaClient& client = session.client();
            client.call(vexa::CMD_SET_CROSS_INSTANCE, {vexa::Value::l(1)});
            client.call(vexa::CMD_SET_AUTO_SIZE, {vexa::Value::l(0)});
            client.call(vexa::CMD_SET_SHOW_LOGO, {vexa::Value::l(0)});
            for (const std::string& address : setup.addresses) {
                client.call(vexa::CMD_APPEND, {vexa::Value::s(address)});
            }
            client.call(vexa::CMD_SET_REPEAT, {vexa::Value::l(0)});
            if (window != 0) {
                client.call(vexa::CMD_SET_VIDEO_PARENT,
                            {vexa::Value::l(static_cast<std::int32_t>(window))});
            }
            if (setup.autostart && !setup.addresses.empty()) {
                playAsked(session);
            }
        });
        engine_->setPeriodic(readProgress, kPositionPeriod);
    } catch (...) {
        // Out of memory: the player stays stopped.
    }
}

void MediaPlayerObject::Play() noexcept {
    if (state_.load() == PlayerState::kPaused) {
        post([](Session& session) {
            session.client().call(vexa::CMD_PAUSE_TOGGLE);
            readProgress(session);
        });
    } else {
        post(playAsked);
    }
}

void MediaPlayerObject::Pause() noexcept {
    if (state_.load() != PlayerState::kPlaying) {
        return;
    }
    post([](Session& session) {
        session.client().call(vexa::CMD_PAUSE_TOGGLE);
        readProgress(session);
    });
}

void MediaPlayerObject::Stop() noexcept {
    post([](Session& session) {
        session.client().call(vexa::CMD_STOP);
        readProgress(session);
    });
}

void MediaPlayerObject::Seek(std::int32_t positionMs) noexcept {
    post([seconds = positionMs / 1000](Session& session) {
        session.client().call(vexa::CMD_SEEK, {vexa::Value::l(seconds)});
    });
}

void MediaPlayerObject::SetVolume(std::int32_t volume) noexcept {
    post([volume](Session& session) {
        session.client().call(vexa::CMD_SET_VOLUME, {vexa::Value::l(volume)});
    });
}

void MediaPlayerObject::post(PlaybackEngine::Job job) noexcept {
    if (engine_) {
        engine_->post(std::move(job));
    }
}

void MediaPlayerObject::deliver(const ServerEvent& event) noexcept {
    std::lock_guard lock(eventsLock_);
    const PlayerState now = state_.load();
    switch (event.kind) {
        case ServerEvent::Kind::kEvent:
            if (event.code == vexa::kEventPlaybackStarted) {
                report(PlayerState::kPlaying, 0);
            } else if (isFailureEvent(event.code)) {
                report(PlayerState::kFailed, event.code);
            }
            break;
        case ServerEvent::Kind::kStatus:
            if (event.code == vexa::kStatusBufferingStarted) {
                report(PlayerState::kOpening, -1);
            } else if (event.code == vexa::kStatusBufferValue) {
                report(PlayerState::kOpening, static_cast<std::int32_t>(event.value));
            } else if (event.code == vexa::kStatusBufferingFinished) {
                report(PlayerState::kPlaying, 0);
            }
            break;
        case ServerEvent::Kind::kMetadata:
            break;
        case ServerEvent::Kind::kAnswer:
            if (event.code == vexa::CMD_PLAY) {
                report(PlayerState::kOpening, -1);
            } else if (event.code == vexa::CMD_GET_POSITION) {
                if (events_ != nullptr && now == PlayerState::kPlaying) {
                    events_->PlayerPosition(
                        static_cast<std::int32_t>(event.value * 1000),
                        event.extra < 0 ? -1 : static_cast<std::int32_t>(event.extra * 1000));
                }
            } else if (event.code == vexa::CMD_GET_STATE) {
                // 0 stopped, 1 playing, 2 paused, 3 playing while buffering.
                if (event.value == 0 &&
                    (now == PlayerState::kPlaying || now == PlayerState::kPaused)) {
                    report(PlayerState::kStopped, 0);
                } else if (event.value == 2 && now != PlayerState::kPaused) {
                    report(PlayerState::kPaused, 0);
                } else if (event.value == 1 && now == PlayerState::kPaused) {
                    report(PlayerState::kPlaying, 0);
                }
            }
            break;
    }
}

void MediaPlayerObject::report(PlayerState state, std::int32_t detail) {
    state_.store(state);
    if (events_ != nullptr) {
        events_->PlayerStateChanged(state, detail);
    }
}

}  // namespace kinvo::controls
