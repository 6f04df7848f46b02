// The playback controller: turns the playlist into sound through the input plug-in host. It
// starts the current entry, stops, pauses, seeks, sets the volume, moves to the next or previous
// entry (in list order or in the shuffled order), reacts to the end of a track, and tells the
// client what happened through events.
//
// Error policy: nothing throws but std::bad_alloc (the command layer answers 1 for it). A failed
// start is reported only through the events of its start code (start_codes.h) and then moves on
// to the next entry or stops; it is never retried. When every entry of the playlist has failed
// in a row, a repeated playlist stops rather than cycling through its failures for ever.
//
// Threads: main thread only. A plug-in may run a message loop of its own inside play, so
// commands can arrive re-entrantly: `busy` keeps a second start out and lets a stop close the
// streaming dialog first.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/modules/client_link.h"
#include "axserver/modules/server_link.h"
#include "axserver/playback/shuffle_order.h"
#include "axserver/playlist/server_playlist.h"

namespace vexa::playback {

// What the controller needs of the rest of the server beside the plug-ins and the playlist.
// Every function may be empty (then nothing happens).
struct ControllerServices {
    // Posts SRV_TRACK_END to the server window (a failed start moves on through it).
    std::function<void()> postTrackEnd;
    // Closes the streaming dialog of a plug-in that is still starting; false when there is none.
    std::function<bool()> closeStreamingDialog;
    // The stop broadcast to the other instances, run by play when cross-instance control is set.
    std::function<bool()> crossInstanceControl;
    std::function<void()> broadcastInstanceStop;
    // Closes the video output after the plug-in stopped.
    std::function<void()> closeVideo;
    // Sets the process's scheduling priority back to normal.
    std::function<void()> normalPriority;
};

class PlaybackController {
  public:
    static constexpr int32_t kDefaultVolume = 200;

    // Every reference must outlive the controller.
    PlaybackController(ClientLink& client, BufferingState& buffering, InputPluginHost& inputs,
                       playlist::ServerPlaylist& playlist, ControllerServices services);

    // Command 701.
    void play();
    // Starts the current entry (play, next, previous, end of track).
    void startCurrent();
    // Commands 703 and 600 (keepCurrent false) and shutdown (true).
    void stop(bool keepCurrent);
    // Command 704.
    void pauseToggle();
    // Command 705: whole seconds, 0 when not playing.
    int32_t position();
    // Command 706.
    void seek(int32_t seconds);
    // Command 720: seconds, -1 unknown; a length under one second answers 1.
    int32_t length();
    // Commands 708 and 707.
    void setVolume(int32_t volume);
    int32_t volume() const noexcept { return volume_; }
    // Command 712.
    void next();
    // Command 713: 1 when the shuffled order stepped back past its first place, else 0.
    int32_t previous();
    // SRV_TRACK_END: false when a shuffled playlist reached the end of its order without repeat.
    bool endOfTrack();
    // Command 719: 0 stopped, 1 playing, 2 paused, 3 playing while buffering.
    int32_t state() const noexcept;
    // Command 753: 255 when not playing or not buffering, else the last buffer value.
    int32_t bufferStatus() const noexcept;

    // Commands 715 to 718: each flag keeps the low 8 bits it is given; nonzero means on.
    int32_t shuffle() const noexcept { return shuffle_; }
    void setShuffle(int32_t value) noexcept { shuffle_ = static_cast<uint8_t>(value & 0xFF); }
    int32_t repeat() const noexcept { return repeat_; }
    void setRepeat(int32_t value) noexcept { repeat_ = static_cast<uint8_t>(value & 0xFF); }

    bool playing() const noexcept { return playing_; }
    bool paused() const noexcept { return paused_; }
    const std::string& currentFile() const noexcept { return currentFile_; }
    const std::string& currentTitle() const noexcept { return currentTitle_; }

  private:
    void refreshCurrent();
    // Steps the shuffled order; true when it wrapped.
    bool shuffleStep(int32_t step);
    // Stops or restarts after the current entry moved (next, previous).
    void afterMove();
    void raise(int32_t event);
    static void call(const std::function<void()>& f) {
        if (f) {
            f();
        }
    }

    ClientLink& client_;
    BufferingState& buffering_;
    InputPluginHost& inputs_;
    playlist::ServerPlaylist& playlist_;
    ControllerServices services_;
    ShuffleOrder order_;

    bool playing_ = false;
    bool paused_ = false;
    bool busy_ = false;
    std::string currentFile_;
    std::string currentTitle_;
    uint8_t volume_ = kDefaultVolume;
    uint8_t shuffle_ = 0;
    uint8_t repeat_ = 0;
    // Starts that failed one after the other since the last start that worked or the last play
    // command: with repeat, once every entry has failed in a row, playback stops instead of going
    // round again.
    int32_t failedInARow_ = 0;
};

}  // namespace vexa::playback
