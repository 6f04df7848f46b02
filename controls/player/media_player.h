#pragma once
// A player component's object: one element of a player page, played through its own playback
// server session (controls/engine/playback_engine.h) as its kind (player_kind.h) says.
//
// Start sends, in order: 740 (1), 738 (0), 764 (0), 700 for each address, 717 (0), 737 with the
// window (when one was set), and 701 when the element asks to start by itself. Play 701 (704
// when paused), Pause 704 (only while playing), Stop 703, Seek 706 (seconds), SetVolume 708.
//
// States: kOpening (-1) when a play is asked for, kOpening with the percent on statuses 208 and
// 223, kPlaying on event 4 and status 214, kFailed with the event code on the server's failure
// events (100 to 113), kPaused and kStopped from the server's state, read with the position
// (705) and length (720) about twice a second; PlayerPosition while playing.
//
// Threads and errors: the contract's (controls/abi/component.h): the host's UI thread calls
// every member, events come on the session's thread; nothing throws. A server that cannot be
// started is kFailed with 102. Release stops the session: no event after it returns.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "controls/abi/component.h"
#include "controls/engine/playback_engine.h"
#include "controls/player/player_kind.h"

namespace kinvo::controls {

class MediaPlayerObject final : public component::MediaPlayer {
  public:
    // `serverPath`: the vexahost to start.
    MediaPlayerObject(const PlayerKind& kind, std::string serverPath);

    void Release() noexcept override;
    void SetEvents(component::PlayerEvents* events) noexcept override;
    void SetParam(const char* name, const char* value) noexcept override;
    std::int32_t ShowsControls() noexcept override;
    void SetWindow(std::uint64_t window) noexcept override;
    void Start() noexcept override;
    void Play() noexcept override;
    void Pause() noexcept override;
    void Stop() noexcept override;
    void Seek(std::int32_t positionMs) noexcept override;
    void SetVolume(std::int32_t volume) noexcept override;

    static constexpr std::chrono::milliseconds kPositionPeriod{500};

  private:
    ~MediaPlayerObject() = default;
    void post(PlaybackEngine::Job job) noexcept;
    // The session's thread.
    void deliver(const ServerEvent& event) noexcept;
    void report(component::PlayerState state, std::int32_t detail);  // under eventsLock_

    const PlayerKind& kind_;
    std::string serverPath_;
    ElementParams params_;      // UI thread
    std::uint64_t window_ = 0;  // UI thread
    std::mutex eventsLock_;
    component::PlayerEvents* events_ = nullptr;  // eventsLock_
    // Written on the session's thread under eventsLock_, read on the UI thread.
    std::atomic<component::PlayerState> state_{component::PlayerState::kStopped};
    std::optional<PlaybackEngine> engine_;  // UI thread: made by Start
};

}  // namespace kinvo::controls
