#include "runtimes/qtml/movie/movie.h"

#include <algorithm>
#include <utility>

#include "runtimes/qtml/movie/movie_player.h"

namespace kinvo::qtml {
namespace {

int64_t toUnits(int64_t ms) {
    return ms * kTimeScale / 1000;
}

}  // namespace

Movie::Movie(std::string address) noexcept {
    try {
        MovieState* state = &state_;
        thread_ = std::thread([address = std::move(address), state] { runMovie(address, *state); });
    } catch (...) {
        state_.loadState = kOpenFailed;  // no thread (or no memory for the address)
    }
}

Movie::~Movie() {
    state_.quit = true;
    state_.poke();
    if (thread_.joinable()) {
        thread_.join();
    }
}

int32_t Movie::waitForLoadState(int32_t atLeast, std::chrono::milliseconds limit) const noexcept {
    std::unique_lock lock(state_.mutex);
    state_.changed.wait_for(lock, limit, [&] {
        const int32_t now = state_.loadState;
        return now < 0 || now >= atLeast;
    });
    return state_.loadState;
}

int64_t Movie::duration() const noexcept {
    std::lock_guard lock(state_.mutex);
    return toUnits(state_.info.durationMs);
}

MovieTime Movie::currentTime() const noexcept {
    return {toUnits(state_.currentMs), kTimeScale};
}

TimeRange Movie::timeRange() const noexcept {
    return {0, duration()};
}

Box Movie::naturalBox() const noexcept {
    std::lock_guard lock(state_.mutex);
    return {state_.info.width, state_.info.height};
}

std::string Movie::title() const noexcept {
    try {
        std::lock_guard lock(state_.mutex);
        return state_.info.title;
    } catch (...) {
        return {};
    }
}

void Movie::start() noexcept {
    state_.playing = true;
    state_.poke();
}

void Movie::stop() noexcept {
    state_.playing = false;
    state_.poke();
}

void Movie::goToTime(int64_t value) noexcept {
    const int64_t ms = std::clamp<int64_t>(value, 0, duration()) * 1000 / kTimeScale;
    state_.done = false;
    state_.currentMs = ms;
    state_.seekMs = ms;
    // After the go-to-time is posted: a picture the thread made before it sees it is refused.
    state_.pictures.beginGeneration();
    state_.poke();
}

void Movie::setVolume(int volume) noexcept {
    state_.volume = std::clamp(volume, 0, 256);
    state_.poke();
}

void Movie::setMovieBox(int width, int height) noexcept {
    {
        std::lock_guard lock(state_.mutex);
        state_.boxWidth = std::max(width, 0);
        state_.boxHeight = std::max(height, 0);
    }
    // After the box: a picture of the old size not yet presented is dropped, one being made is
    // refused.
    state_.pictures.beginGeneration();
    state_.poke();
}

}  // namespace kinvo::qtml
