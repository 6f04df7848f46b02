#pragma once
// The playback control: the page's calls become the playback server's commands, in the order
// the page made them, on the session's thread (controls/engine/playback_engine.h).
//
// Page call → command: SetCrossInstanceControl 740, SetVideoAutoSize 738, SetVideoLogo 764,
// SetUseCustomDRMURL 765, AppendFileToPlaylist 700, Repeat 717, Play 701, SetVideoHWND 737 (the
// X11 window id as the window handle: the server's video window becomes its child).
// SetRetryParams and SetFallbackParams set the session's retry and fallback numbers and send
// nothing. The session starts with the object; event 8 (kEventWindowReady) reaches the sink
// once the server is ready after each setCallback with a sink.
//
// Threads and errors: the contract's (controls/abi/component.h). Every call returns at once and
// nothing throws; a server that cannot be started is reported as event 102 on the sink.
// Deinitialize stops the session: no event reaches the sink after it returns.
#include <memory>
#include <mutex>
#include <string>

#include "controls/abi/component.h"
#include "controls/engine/playback_engine.h"

namespace kinvo::controls {

class PlaybackControlObject final : public component::PlaybackControl {
  public:
    explicit PlaybackControlObject(std::string serverPath);

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
    ~PlaybackControlObject() = default;
    // A command with one number or one text, sent in order on the session's thread.
    void command(std::int32_t number, std::int32_t value) noexcept;
    void command(std::int32_t number) noexcept;
    // The session's thread: one server event to the sink.
    void deliver(const ServerEvent& event) noexcept;

    std::mutex sinkLock_;
    component::PlaybackEvents* sink_ = nullptr;  // sinkLock_
    PlaybackEngine engine_;  // last: its thread may call deliver() as soon as it exists
};

}  // namespace kinvo::controls
