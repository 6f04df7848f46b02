#include "browser/web/unconnected_playback_control.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kinvo::web {
namespace {

void trace(const std::string& call) noexcept {
    if (std::getenv("VEXA_DEBUG") != nullptr) {
        std::fprintf(stderr, "kinvo: playback control (no playback server connected): %s\n",
                     call.c_str());
    }
}

std::string numbers(const char* name, std::initializer_list<long long> values) {
    std::string text = std::string(name) + "(";
    bool first = true;
    for (long long value : values) {
        text += (first ? "" : ", ") + std::to_string(value);
        first = false;
    }
    return text + ")";
}

}  // namespace

void UnconnectedPlaybackControl::Release() noexcept {
    delete this;
}
void UnconnectedPlaybackControl::setCallback(component::PlaybackEvents* sink) noexcept {
    sink_ = sink;
    trace("setCallback");
}
void UnconnectedPlaybackControl::SetCrossInstanceControl(std::int32_t on) noexcept {
    trace(numbers("SetCrossInstanceControl", {on}));
}
void UnconnectedPlaybackControl::SetVideoAutoSize(std::int32_t on) noexcept {
    trace(numbers("SetVideoAutoSize", {on}));
}
void UnconnectedPlaybackControl::SetVideoLogo(std::int32_t on) noexcept {
    trace(numbers("SetVideoLogo", {on}));
}
void UnconnectedPlaybackControl::SetRetryParams(std::int32_t count, std::int32_t delayMs) noexcept {
    trace(numbers("SetRetryParams", {count, delayMs}));
}
void UnconnectedPlaybackControl::SetFallbackParams(std::int32_t count,
                                                   std::int32_t delayMs) noexcept {
    trace(numbers("SetFallbackParams", {count, delayMs}));
}
void UnconnectedPlaybackControl::SetUseCustomDRMURL(std::int32_t on) noexcept {
    trace(numbers("SetUseCustomDRMURL", {on}));
}
void UnconnectedPlaybackControl::AppendFileToPlaylist(const char* address) noexcept {
    trace("AppendFileToPlaylist(" + std::string(address) + ")");
}
void UnconnectedPlaybackControl::setRepeat(std::int32_t repeat) noexcept {
    trace(numbers("Repeat", {repeat}));
}
void UnconnectedPlaybackControl::Play() noexcept {
    trace("Play() - nothing will play");
    if (sink_ != nullptr) {
        sink_->SonariMsgEvent(kNotStarted);
    }
}
void UnconnectedPlaybackControl::SetVideoHWND(std::uint64_t window) noexcept {
    trace("SetVideoHWND(" + std::to_string(window) + ")");
}
void UnconnectedPlaybackControl::Deinitialize() noexcept {
    trace("Deinitialize");
    sink_ = nullptr;
}

}  // namespace kinvo::web
