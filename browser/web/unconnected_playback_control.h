#pragma once
// The product's playback control while no playback server can be reached from the browser: it
// drives nothing. Each call is written to stderr when VEXA_DEBUG is set, and Play answers the
// page with event 102 (the station did not start), so the page never waits on a picture that
// cannot come.

#include "browser/web/playback_control.h"

namespace kinvo::web {

class UnconnectedPlaybackControl : public PlaybackControl {
  public:
    // The event code Play answers with.
    static constexpr int kNotStarted = 102;

    void setCallback(PlaybackEvents& sink) override;
    void SetCrossInstanceControl(int on) override;
    void SetVideoAutoSize(int on) override;
    void SetVideoLogo(int on) override;
    void SetRetryParams(int count, int delayMs) override;
    void SetFallbackParams(int count, int delayMs) override;
    void SetUseCustomDRMURL(int on) override;
    void AppendFileToPlaylist(const std::string& address) override;
    void setRepeat(int repeat) override;
    void Play() override;
    void SetVideoHWND(std::uint64_t window) override;
    void Deinitialize() override;

  private:
    PlaybackEvents* sink_ = nullptr;
};

}  // namespace kinvo::web
