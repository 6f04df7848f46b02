#pragma once
// The playback control while no playback server can be reached from the browser (its library
// is not installed): it drives nothing. Each call is written to stderr when VEXA_DEBUG is set,
// and Play answers the page with event 102 (the station did not start), so the page never waits
// on a picture that cannot come. Release deletes it.

#include "controls/abi/component.h"

namespace kinvo::web {

class UnconnectedPlaybackControl final : public component::PlaybackControl {
  public:
    // The event code Play answers with.
    static constexpr int kNotStarted = 102;

    void Release() noexcept override;
    void setCallback(component::PlaybackEvents* sink) noexcept override;
    void SetCrossInstanceControl(std::int32_t on) noexcept override;
    void SetVideoAutoSize(std::int32_t on) noexcept override;
    void SetVideoLogo(std::int32_t on) noexcept override;
    void SetRetryParams(std::int32_t count, std::int32_t delayMs) noexcept override;
    void SetFallbackParams(std::int32_t count, std::int32_t delayMs) noexcept override;
    void SetUseCustomDRMURL(std::int32_t on) noexcept override;
    void AppendFileToPlaylist(const char* address) noexcept override;
    void setRepeat(std::int32_t repeat) noexcept override;
    void Play() noexcept override;
    void SetVideoHWND(std::uint64_t window) noexcept override;
    void Deinitialize() noexcept override;

  private:
    ~UnconnectedPlaybackControl() = default;

    component::PlaybackEvents* sink_ = nullptr;
};

}  // namespace kinvo::web
