#include "browser/web/unconnected_playback_control.h"

#include <cstdio>
#include <cstdlib>

namespace kinvo::web {
namespace {

void trace(const std::string& call) {
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

void UnconnectedPlaybackControl::setCallback(PlaybackEvents& sink) {
    sink_ = &sink;
    trace("setCallback");
}
void UnconnectedPlaybackControl::SetCrossInstanceControl(int on) {
    trace(numbers("SetCrossInstanceControl", {on}));
}
void UnconnectedPlaybackControl::SetVideoAutoSize(int on) {
    trace(numbers("SetVideoAutoSize", {on}));
}
void UnconnectedPlaybackControl::SetVideoLogo(int on) {
    trace(numbers("SetVideoLogo", {on}));
}
void UnconnectedPlaybackControl::SetRetryParams(int count, int delayMs) {
    trace(numbers("SetRetryParams", {count, delayMs}));
}
void UnconnectedPlaybackControl::SetFallbackParams(int count, int delayMs) {
    trace(numbers("SetFallbackParams", {count, delayMs}));
}
void UnconnectedPlaybackControl::SetUseCustomDRMURL(int on) {
    trace(numbers("SetUseCustomDRMURL", {on}));
}
void UnconnectedPlaybackControl::AppendFileToPlaylist(const std::string& address) {
    trace("AppendFileToPlaylist(" + address + ")");
}
void UnconnectedPlaybackControl::setRepeat(int repeat) {
    trace(numbers("Repeat", {repeat}));
}
void UnconnectedPlaybackControl::Play() {
    trace("Play() - nothing will play");
    if (sink_ != nullptr) {
        sink_->SonariMsgEvent(kNotStarted);
    }
}
void UnconnectedPlaybackControl::SetVideoHWND(std::uint64_t window) {
    trace("SetVideoHWND(" + std::to_string(window) + ")");
}
void UnconnectedPlaybackControl::Deinitialize() {
    trace("Deinitialize");
    sink_ = nullptr;
}

}  // namespace kinvo::web
