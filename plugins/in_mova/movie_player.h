#pragma once
// One movie at a time: opened by play, run by the play thread (loading, then the controller that
// plays it into the host's video window), controlled by the host and released by stop.
//
// Threads: every public call comes from the host's main thread. The play thread polls the load
// state, gives the movie its time every 10 ms, pumps its own message queue and posts to the host
// window. The controller's action filter runs on whichever thread made the call that caused the
// action. stop asks the thread to end and waits for it (see stop).
//
// Error policy: play answers 0 or kPlayFailed; the other calls answer their values for "nothing
// plays" (length -1, position 0); nothing throws.

#include <sonari/video_output.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "plugins/in_mova/binding/runtime_binding.h"
#include "plugins/in_mova/host_link.h"
#include "plugins/in_mova/movie_opener.h"
#include "plugins/in_mova/movie_window.h"
#include "plugins/in_mova/play_state.h"

namespace kinvo::in_mova {

inline constexpr int32_t kPlayFailed = -200;
// setVolume's value for "the volume stored before".
inline constexpr int32_t kStoredVolume = -666;

struct FileInfo {
    std::string title;
    int32_t lengthMs = -1;
};

class MoviePlayer {
  public:
    explicit MoviePlayer(RuntimeBinding& runtime) noexcept;
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // Opens name and starts the play thread; a stream still playing is stopped first.
    int32_t play(const std::string& name, const HostLink& link);
    // Ends the thread (10 s; status 220 when it took longer), lets the window go, closes the video
    // output and releases the movie. A thread cannot be ended from outside without leaving the
    // runtime's locks held, so after the 10 s stop still waits for it to end.
    void stop() noexcept;
    void pause() noexcept;
    void unpause() noexcept;
    bool paused() const noexcept { return paused_.load(); }
    int32_t lengthMs() const noexcept { return lengthMs_.load(); }
    int32_t positionMs() const noexcept;
    void seek(int32_t ms) noexcept;
    void setVolume(int32_t volume) noexcept;
    // The information the host asks for ("" or the playing name: the stream that plays).
    FileInfo fileInfo(const std::string& name);
    // stop, then the runtime terminated when it was started.
    void quit() noexcept;

  private:
    enum class Step { Continue, Finish, End };

    void run() noexcept;
    Step poll();
    Step startController();
    void afterTask();
    bool waitForStop(int ms);
    void computeLength() noexcept;
    std::string title() const;
    void setTitle(std::string title);
    intptr_t action(int32_t action, intptr_t argument) const noexcept;
    static int32_t actionFilter(intptr_t controller, int32_t action, intptr_t argument,
                                intptr_t refCon);

    RuntimeBinding& runtime_;
    MovieOpener opener_;                 // main thread only (readTitle: any thread)
    PlayState state_;                    // see play_state.h
    MovieWindow window_;                 // see movie_window.h
    std::optional<OpenedMovie> opened_;  // main thread; the thread uses state_.movie
    ControllerObject controller_;        // made by the thread, released by stop after it ended
    std::string file_;                   // main thread; the thread reads it only while it runs
    mutable std::mutex titleLock_;
    std::string title_;  // guarded by titleLock_: set by play, completed by the thread
    HostLink link_;      // written by play before the thread starts
    SonariVideoOutput* video_ = nullptr;  // written by play before the thread starts
    std::atomic<int32_t> lengthMs_{-1};
    std::atomic<bool> paused_{false};
    std::atomic<bool> startSeen_{false};
    std::atomic<int32_t> volume_{0};
    bool loadingReported_ = false;   // play thread
    bool playableReported_ = false;  // play thread

    std::thread thread_;  // main thread
    std::mutex stopLock;  // guards stopRequested_ and finished_ for the waits
    std::condition_variable stopChanged;
    bool stopRequested_ = false;
    bool finished_ = false;
    std::atomic<bool> stopFlag_{false};  // stopRequested_ for the thread's quick checks
};

}  // namespace kinvo::in_mova
