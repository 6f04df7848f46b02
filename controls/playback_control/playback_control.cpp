#include "controls/playback_control/playback_control.h"

#include "channel/protocol.h"
#include "control/client/vexa_client.h"

namespace kinvo::controls {

PlaybackControlObject::PlaybackControlObject(std::string serverPath)
    : engine_(std::move(serverPath), [this](const ServerEvent& e) { deliver(e); }) {}

void PlaybackControlObject::Release() noexcept {
    Deinitialize();
    delete this;
}

void PlaybackControlObject::setCallback(component::PlaybackEvents* sink) noexcept {
    {
        std::lock_guard lock(sinkLock_);
        sink_ = sink;
    }
    if (sink != nullptr) {
        engine_.post([](Session& session) {
            session.emit({ServerEvent::Kind::kEvent, component::kEventWindowReady, 0, 0, {}});
        });
    }
}

void PlaybackControlObject::SetCrossInstanceControl(std::int32_t on) noexcept {
    command(vexa::CMD_SET_CROSS_INSTANCE, on);
}

void PlaybackControlObject::SetVideoAutoSize(std::int32_t on) noexcept {
    command(vexa::CMD_SET_AUTO_SIZE, on);
}

void PlaybackControlObject::SetVideoLogo(std::int32_t on) noexcept {
    command(vexa::CMD_SET_SHOW_LOGO, on);
}

void PlaybackControlObject::SetRetryParams(std::int32_t count, std::int32_t delayMs) noexcept {
    engine_.setRetry(count, delayMs);
}

void PlaybackControlObject::SetFallbackParams(std::int32_t count, std::int32_t delayMs) noexcept {
    engine_.setFallback(count, delayMs);
}

void PlaybackControlObject::SetUseCustomDRMURL(std::int32_t on) noexcept {
    command(vexa::CMD_SET_CUSTOM_DRM, on);
}

void PlaybackControlObject::AppendFileToPlaylist(const char* address) noexcept {
    try {
        engine_.post([text = std::string(address != nullptr ? address : "")](Session& session) {
            session.client().call(vexa::CMD_APPEND, {vexa::Value::s(text)});
        });
    } catch (...) {
        // Out of memory copying the address: the call is lost.
    }
}

void PlaybackControlObject::setRepeat(std::int32_t repeat) noexcept {
    command(vexa::CMD_SET_REPEAT, repeat);
}

void PlaybackControlObject::Play() noexcept {
    command(vexa::CMD_PLAY);
}

void PlaybackControlObject::SetVideoHWND(std::uint64_t window) noexcept {
    // X11 window ids fit the command's 32-bit handle.
    command(vexa::CMD_SET_VIDEO_PARENT, static_cast<std::int32_t>(window));
}

void PlaybackControlObject::Deinitialize() noexcept {
    {
        std::lock_guard lock(sinkLock_);
        sink_ = nullptr;
    }
    engine_.stop();
}

void PlaybackControlObject::command(std::int32_t number, std::int32_t value) noexcept {
    engine_.post([number, value](Session& session) {
        session.client().call(number, {vexa::Value::l(value)});
    });
}

void PlaybackControlObject::command(std::int32_t number) noexcept {
    engine_.post([number](Session& session) { session.client().call(number); });
}

void PlaybackControlObject::deliver(const ServerEvent& event) noexcept {
    std::lock_guard lock(sinkLock_);
    if (sink_ == nullptr) {
        return;
    }
    switch (event.kind) {
        case ServerEvent::Kind::kEvent:
            sink_->SonariMsgEvent(event.code);
            break;
        case ServerEvent::Kind::kStatus:
            sink_->SonariStatus(event.code, static_cast<std::int32_t>(event.value));
            break;
        case ServerEvent::Kind::kMetadata:
            sink_->SonariMetaData(event.text.c_str(), static_cast<std::int32_t>(event.text.size()));
            break;
        case ServerEvent::Kind::kAnswer:
            break;
    }
}

}  // namespace kinvo::controls
