#include "plugins/in_mova/movie_player.h"

#include <sonari/host_windows.h>

#include <chrono>

#include "plugins/in_mova/letterbox.h"
#include "plugins/in_mova/movie_time.h"
#include "plugins/in_mova/names.h"

namespace kinvo::in_mova {

namespace {

constexpr int32_t kLoadPlayable = 2000;
constexpr int32_t kLoadPlaythrough = QTML_LOAD_PLAYTHROUGH;
constexpr int kLoadPollMs = 200;
constexpr int kTaskPeriodMs = 10;
constexpr auto kStopWait = std::chrono::milliseconds(10000);
constexpr intptr_t kMovieOption = 0x80000;
constexpr int32_t kActionPrerollAndPlay = QTML_ACTION_PREROLL_AND_PLAY;

}  // namespace

MoviePlayer::MoviePlayer(RuntimeBinding& runtime) noexcept
    : runtime_(runtime), opener_(runtime), state_(runtime), window_(state_) {}

MoviePlayer::~MoviePlayer() {
    quit();
}

int32_t MoviePlayer::play(const std::string& name, const HostLink& link) {
    stop();
    paused_.store(false);
    lengthMs_.store(-1);
    setTitle({});
    startSeen_.store(false);
    link_ = link;

    auto opened = opener_.open(name, true, link);
    if (!opened) {
        return kPlayFailed;
    }
    video_ = link.videoOutput();
    if (video_ == nullptr) {
        return kPlayFailed;  // opened releases the movie and leaves the toolbox
    }
    opened_ = std::move(opened);
    setTitle(opened_->title);
    if (opened_->lengthMs > 0) {
        lengthMs_.store(opened_->lengthMs);
    }
    const intptr_t movie = opened_->movie.get();
    state_.movie.store(movie);
    {
        const std::lock_guard lock(state_.drawLock);
        state_.movieBox = QtmlRect{0, 0, 1, 1};
        state_.displayRect = QtmlRect{0, 0, 0, 0};
        runtime_.call(QTML_NEW_BUFFER, state_.buffer.out(), QTML_PIXELS_BGRA, &state_.movieBox, 0,
                      0, 0);
        runtime_.call(QTML_SET_MOVIE_PORT, movie, state_.buffer.get(), 0);
    }
    file_ = name;
    state_.rtsp.store(isRtspAddress(name));
    {
        const std::lock_guard lock(stopLock);
        stopRequested_ = false;
        finished_ = false;
    }
    stopFlag_.store(false);
    loadingReported_ = false;
    playableReported_ = false;
    try {
        thread_ = std::thread(&MoviePlayer::run, this);
    } catch (...) {
        stop();
        return kPlayFailed;
    }
    return 0;
}

void MoviePlayer::stop() noexcept {
    if (thread_.joinable()) {
        {
            const std::lock_guard lock(stopLock);
            stopRequested_ = true;
        }
        stopFlag_.store(true);
        stopChanged.notify_all();
        bool ended = false;
        {
            std::unique_lock lock(stopLock);
            ended = stopChanged.wait_for(lock, kStopWait, [this] { return finished_; });
        }
        if (!ended) {
            link_.status(kStatusThreadKilled, 0);
        }
        thread_.join();
    }
    window_.attach(0);
    if (video_ != nullptr) {
        video_->close();
        video_ = nullptr;
    }
    state_.controller.store(0);
    controller_.reset();
    {
        const std::lock_guard lock(state_.drawLock);
        state_.buffer.reset();
    }
    state_.movie.store(0);
    opened_.reset();
    lengthMs_.store(-1);
    startSeen_.store(false);
}

void MoviePlayer::quit() noexcept {
    stop();
    opener_.shutdown();
}

bool MoviePlayer::waitForStop(int ms) {
    std::unique_lock lock(stopLock);
    return stopChanged.wait_for(lock, std::chrono::milliseconds(ms),
                                [this] { return stopRequested_; });
}

void MoviePlayer::run() noexcept {
    for (;;) {
        const Step step = poll();
        if (step == Step::Finish) {
            if (!stopFlag_.load()) {
                link_.trackEnd();
            }
            break;
        }
        if (step == Step::End) {
            break;
        }
    }
    {
        const std::lock_guard lock(stopLock);
        finished_ = true;
    }
    stopChanged.notify_all();
}

MoviePlayer::Step MoviePlayer::poll() {
    const intptr_t movie = state_.movie.load();
    if (!controller_) {
        const auto loadState = static_cast<int32_t>(runtime_.call(QTML_LOAD_STATE, movie));
        if (loadState < 0) {
            link_.status(kStatusFailed, 0);
            return Step::Finish;
        }
        if (loadState < kLoadPlayable) {
            if (!loadingReported_) {
                loadingReported_ = true;
                link_.status(kStatusConnecting, 0);
                link_.status(kStatusBuffering, 0);
            }
            waitForStop(kLoadPollMs);
        } else if (loadState < kLoadPlaythrough) {
            if (!playableReported_) {
                playableReported_ = true;
                link_.status(kStatusBuffering, 255);
                link_.status(kStatusBuffered, 0);
            }
            waitForStop(kLoadPollMs);
        } else {
            // A stream that went from loading to playable between two polls still ends its
            // buffering for the client, which otherwise shows it buffering while it plays.
            if (loadingReported_ && !playableReported_) {
                playableReported_ = true;
                link_.status(kStatusBuffering, 255);
                link_.status(kStatusBuffered, 0);
            }
            if (startController() == Step::Finish) {
                return Step::Finish;
            }
        }
    } else if ((runtime_.call(QTML_IS_MOVIE_DONE, movie) & 0xFF) != 0) {
        return Step::Finish;
    }
    afterTask();

    const auto error = static_cast<int16_t>(runtime_.call(QTML_MOVIES_ERROR));
    if (error != 0) {
        runtime_.call(QTML_CLEAR_MOVIES_ERROR);
        if (error == QTML_ERR_PARAM && isRtspAddress(file_)) {
            link_.status(kStatusFailed, 0);
            link_.stopAndAdvance();
        } else if (error == QTML_ERR_NOT_FOUND && isProtectedName(file_)) {
            link_.stopAndAdvance();
        }
    }
    if (stopFlag_.load() || waitForStop(kTaskPeriodMs)) {
        return Step::End;
    }
    return Step::Continue;
}

MoviePlayer::Step MoviePlayer::startController() {
    const intptr_t movie = state_.movie.load();
    QtmlRect box{};
    runtime_.call(QTML_NATURAL_BOX, movie, &box);
    const bool hasPicture = widthOf(box) > 0 && heightOf(box) > 0;
    {
        const std::lock_guard lock(state_.drawLock);
        state_.movieBox = box;
        const SonariWindow window = window_.window();
        if (window != 0) {
            state_.buffer.reset();
            runtime_.call(QTML_SET_MOVIE_PORT, movie, runtime_.call(QTML_WINDOW_PORT, window), 0);
        } else if (hasPicture) {
            // A movie without a picture keeps the 1 x 1 buffer: a buffer of no size cannot be made.
            const uint32_t selector = state_.buffer ? QTML_UPDATE_BUFFER : QTML_NEW_BUFFER;
            if (runtime_.call(selector, state_.buffer.out(), QTML_PIXELS_BGRA, &box, 0, 0, 0) !=
                    0 ||
                !state_.buffer) {
                return Step::Finish;
            }
            runtime_.call(QTML_SET_MOVIE_PORT, movie, state_.buffer.get(), 0);
        }
    }
    ControllerObject controller(
        runtime_, runtime_.call(QTML_NEW_CONTROLLER, movie, &box, QTML_CONTROLLER_INVISIBLE));
    if (!controller || controller.get() == QTML_ERR_NOT_BOUND) {
        return Step::Finish;
    }
    state_.controller.store(controller.get());
    controller_ = std::move(controller);
    runtime_.call(QTML_MOVIE_OPTION, movie, kMovieOption, kMovieOption);
    runtime_.call(QTML_PREPARE_MOVIE, movie);
    runtime_.call(QTML_SET_MOVIE_BOX, movie, &box);
    if (hasPicture && video_ != nullptr) {
        video_->open(widthOf(box), heightOf(box), 0, 1.0, SONARI_VIDEO_NONE);
        window_.attach(static_cast<SonariWindow>(video_->extended(SONARI_VIDEO_EXT_WINDOW, 0, 0)));
    }
    setVolume(kStoredVolume);
    runtime_.callComponent(
        controller_.get(), QTML_MC_SET_ACTION_FILTER,
        {reinterpret_cast<intptr_t>(&MoviePlayer::actionFilter), reinterpret_cast<intptr_t>(this)});
    action(kActionPrerollAndPlay, 1);
    if (lengthMs_.load() <= 0) {
        computeLength();
    }
    // A movie opened while it loads had no title yet: without this the playing movie would be
    // known by its file name only.
    if (title().empty()) {
        setTitle(opener_.readTitle(movie));
    }
    return Step::Continue;
}

void MoviePlayer::afterTask() {
    if (startSeen_.load() && paused_.load()) {
        action(QTML_ACTION_PLAY, 0);
    }
    if (sonariPumpMessages != nullptr) {
        sonariPumpMessages();
    }
    runtime_.call(QTML_MOVIES_TASK, state_.movie.load(), 0);
    if (lengthMs_.load() <= 0 && controller_) {
        computeLength();
    }
}

void MoviePlayer::computeLength() noexcept {
    const intptr_t movie = state_.movie.load();
    if (movie == 0) {
        return;
    }
    lengthMs_.store(
        kinvo::in_mova::lengthMs(runtime_.call(QTML_DURATION, movie),
                                 static_cast<int32_t>(runtime_.call(QTML_TIME_SCALE, movie))));
}

intptr_t MoviePlayer::action(int32_t what, intptr_t argument) const noexcept {
    const intptr_t controller = state_.controller.load();
    if (controller == 0) {
        return 0;
    }
    return runtime_.callComponent(controller, QTML_MC_DO_ACTION, {what, argument});
}

int32_t MoviePlayer::actionFilter(intptr_t controller, int32_t what, intptr_t argument,
                                  intptr_t refCon) {
    auto* self = reinterpret_cast<MoviePlayer*>(refCon);
    if (self == nullptr || controller == 0 || controller != self->state_.controller.load()) {
        return 0;
    }
    if (what == QTML_ACTION_PLAY) {
        self->startSeen_.store(argument == 1);
    } else if (what == QTML_ACTION_SIZE_CHANGED) {
        PlayState& state = self->state_;
        const std::lock_guard lock(state.drawLock);
        QtmlRect shown = state.displayRect;
        // Before a window is known nothing has been letterboxed: the box stays as it is.
        if (widthOf(shown) > 0 && heightOf(shown) > 0) {
            state.runtime.call(QTML_SET_MOVIE_BOX, state.movie.load(), &shown);
            if (state.buffer) {
                state.runtime.call(QTML_UPDATE_BUFFER, state.buffer.out(), QTML_PIXELS_BGRA, &shown,
                                   0, 0, 0);
            }
        }
    }
    return 0;
}

void MoviePlayer::pause() noexcept {
    paused_.store(true);
    action(QTML_ACTION_PLAY, 0);
}

void MoviePlayer::unpause() noexcept {
    paused_.store(false);
    action(QTML_ACTION_PLAY, 1);
}

int32_t MoviePlayer::positionMs() const noexcept {
    const intptr_t movie = state_.movie.load();
    if (movie == 0) {
        return 0;
    }
    QtmlTimeRecord now{};
    runtime_.call(QTML_CURRENT_TIME, movie, &now);
    return kinvo::in_mova::positionMs(now.value, now.scale);
}

void MoviePlayer::seek(int32_t ms) noexcept {
    const intptr_t movie = state_.movie.load();
    if (movie == 0 || state_.rtsp.load()) {
        return;
    }
    const auto scale = static_cast<int32_t>(runtime_.call(QTML_TIME_SCALE, movie));
    int64_t first = 0;
    int64_t last = 0;
    runtime_.call(QTML_TIME_RANGE, movie, &first, &last);
    QtmlTimeRecord target{seekTarget(ms, scale, last), scale, runtime_.call(QTML_TIME_BASE, movie)};
    action(QTML_ACTION_GO_TO_TIME, reinterpret_cast<intptr_t>(&target));
}

void MoviePlayer::setVolume(int32_t volume) noexcept {
    if (volume != kStoredVolume) {
        volume_.store(volume);
    }
    action(QTML_ACTION_SET_VOLUME, static_cast<int16_t>(volume_.load()));
}

FileInfo MoviePlayer::fileInfo(const std::string& name) {
    FileInfo info;
    if (!name.empty() && !sameName(name, file_)) {
        info.lengthMs = -1000;
        info.title = fallbackTitle(name);
        if (const auto opened = opener_.open(name, false, HostLink{})) {
            if (!opened->title.empty()) {
                info.title = opened->title;
            }
            info.lengthMs = opened->lengthMs;
        }
        return info;
    }
    info.lengthMs = lengthMs_.load();
    const std::string playing = title();
    info.title = playing.empty() ? fallbackTitle(file_) : playing;
    return info;
}

std::string MoviePlayer::title() const {
    const std::lock_guard lock(titleLock_);
    return title_;
}

void MoviePlayer::setTitle(std::string title) {
    const std::lock_guard lock(titleLock_);
    title_ = std::move(title);
}

}  // namespace kinvo::in_mova
