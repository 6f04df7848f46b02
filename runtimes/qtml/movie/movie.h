#pragma once
// A movie opened from an address: a path, "file://" path, or an "http://", "https://" or "rtsp://"
// address that FFmpeg reads. The movie opens, decodes and plays on a thread of its own: its
// pictures are presented when due into the caller's PictureTarget, scaled to the movie box; its
// sound goes straight to the sound server (without a server, pictures follow a steady clock).
// The movie thread decodes and scales each picture when it comes due; the caller presents it on
// its own thread (presentDue). A stopped movie offers the picture at its current time once it is
// open and after each go-to-time.
//
// Load state (loadState()): kLoading while opening, kPlayable once the stream information is
// known, kPlaythroughOk at once for a local file and for a network address once a few seconds
// are read ahead (or all of it); negative when the open failed (see load_state.h).
//
// Threads: every call may come from any thread, concurrently; the queries answer 0 / empty before
// the movie is playable. The destructor stops the movie's thread (interrupting a blocking open or
// read) and must not run inside PictureTarget::present.
// Error policy: nothing throws out of any call (see load_state.h for the failure codes).

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "runtimes/qtml/movie/load_state.h"
#include "runtimes/qtml/movie/movie_state.h"
#include "runtimes/qtml/movie/picture_target.h"

namespace kinvo::qtml {

struct MovieTime {
    int64_t value = 0;
    int32_t scale = kTimeScale;
};
struct TimeRange {
    int64_t first = 0;
    int64_t last = 0;
};
struct Box {
    int width = 0;
    int height = 0;
};

class Movie {
  public:
    // Starts opening `address` on the movie's thread.
    explicit Movie(std::string address) noexcept;
    ~Movie();
    Movie(const Movie&) = delete;
    Movie& operator=(const Movie&) = delete;

    int32_t loadState() const noexcept { return state_.loadState; }
    // Waits until the load state is at least `atLeast` or negative, or the time is up; answers
    // the load state then.
    int32_t waitForLoadState(int32_t atLeast, std::chrono::milliseconds limit) const noexcept;

    int32_t timeScale() const noexcept { return kTimeScale; }
    int64_t duration() const noexcept;
    MovieTime currentTime() const noexcept;
    TimeRange timeRange() const noexcept;
    Box naturalBox() const noexcept;
    std::string title() const noexcept;  // "" when the container has none
    // Played to the end (cleared by start and goToTime).
    bool isDone() const noexcept { return state_.done; }

    // Play rate 1 (start) or 0 (stop); a movie that is done starts again from its beginning.
    void start() noexcept;
    void stop() noexcept;
    int32_t rate() const noexcept { return state_.playing ? 1 : 0; }
    // Moves to `value` units of the time scale (clamped to the movie's range).
    void goToTime(int64_t value) noexcept;
    // 0..256, 256 = full (8.8 fixed point); other values are clamped.
    void setVolume(int volume) noexcept;
    int volume() const noexcept { return state_.volume; }
    // The size pictures are scaled to; until it is set (or when set to 0 x 0), the natural box.
    // No picture of the old size is presented as due after the call.
    void setMovieBox(int width, int height) noexcept;

    // On the caller's thread: presents into `target` the picture that came due since the last
    // call; false when none is new.
    bool presentDue(PictureTarget& target) noexcept { return state_.pictures.presentDue(target); }
    // Presents the latest picture again; false before the first one.
    bool presentAgain(PictureTarget& target) noexcept {
        return state_.pictures.presentAgain(target);
    }

  private:
    // Declared before the thread, which uses it until the destructor has joined it.
    mutable MovieState state_;
    std::thread thread_;
};

}  // namespace kinvo::qtml
