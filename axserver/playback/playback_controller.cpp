#include "axserver/playback/playback_controller.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

#include "axserver/playback/start_codes.h"
#include "channel/protocol.h"

namespace vexa::playback {

namespace {

// The step that takes the shuffled order back to its first place, and the move that takes the
// current index to the last entry.
constexpr int32_t kFarBack = -1000000000;
constexpr int32_t kFarForward = 1000000000;

// A local file is tried for reading before a plug-in gets it.
bool readable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace

PlaybackController::PlaybackController(ClientLink& client, BufferingState& buffering,
                                       InputPluginHost& inputs, playlist::ServerPlaylist& playlist,
                                       ControllerServices services)
    : client_(client),
      buffering_(buffering),
      inputs_(inputs),
      playlist_(playlist),
      services_(std::move(services)) {}

void PlaybackController::raise(int32_t event) {
    client_.sendEvent(event);
}

void PlaybackController::refreshCurrent() {
    const playlist::EntryList& entries = playlist_.entries();
    if (const playlist::Entry* entry = entries.entry(entries.current())) {
        currentFile_ = entry->file;
        currentTitle_ = entries.numberedTitle(entries.current());
    } else {
        currentFile_.clear();
        currentTitle_.clear();
    }
}

void PlaybackController::play() {
    playlist::EntryList& entries = playlist_.entries();
    if (entries.count() == 0) {
        raise(kEventNothingToPlay);
        return;
    }
    if (services_.crossInstanceControl && services_.crossInstanceControl()) {
        call(services_.broadcastInstanceStop);
    }
    if (paused_) {
        const playlist::Entry* entry = entries.entry(entries.current());
        if ((entry != nullptr ? entry->file : std::string()) == currentFile_) {
            if (playing_) {
                inputs_.unpause();
                paused_ = false;
            }
            return;
        }
    }
    refreshCurrent();
    failedInARow_ = 0;
    startCurrent();
}

void PlaybackController::startCurrent() {
    if (playing_) {
        stop(false);
    }
    if (busy_) {
        return;
    }
    busy_ = true;
    refreshCurrent();
    if (currentFile_.find("://") == std::string::npos && !readable(currentFile_)) {
        busy_ = false;
        raise(kEventCannotOpen);
        raise(kEventTrackEndHandled);
        return;
    }
    // Cleared before the plug-in starts: its thread may report buffering before play returns.
    buffering_.reset();
    const int32_t code = currentFile_.empty() ? 1 : inputs_.play(currentFile_, volume_);
    if (code == 0) {
        call(services_.normalPriority);
        playlist_.refreshTitle();
        refreshCurrent();
        playing_ = true;
        paused_ = false;
        failedInARow_ = 0;
        busy_ = false;
        raise(kEventPlaybackStarted);
        return;
    }
    const StartFailure failure = startFailure(code);
    for (int32_t event : failure.events) {
        raise(event);
    }
    ++failedInARow_;
    const bool wentRound = repeat_ && failedInARow_ >= playlist_.entries().count();
    if (failure.then == AfterFailure::kAdvance && !wentRound) {
        call(services_.postTrackEnd);
    } else {
        stop(false);
    }
    busy_ = false;
}

void PlaybackController::stop(bool keepCurrent) {
    if (busy_) {
        // A plug-in is still inside its play: only closing its streaming dialog lets it return.
        if (!services_.closeStreamingDialog || !services_.closeStreamingDialog()) {
            return;
        }
    }
    busy_ = true;
    if (playing_) {
        paused_ = false;
        playing_ = false;
        inputs_.stop();
        call(services_.closeVideo);
    }
    if (!keepCurrent) {
        refreshCurrent();
    }
    call(services_.normalPriority);
    busy_ = false;
}

void PlaybackController::pauseToggle() {
    if (paused_) {
        if (playing_) {
            inputs_.unpause();
            paused_ = false;
        }
    } else if (playing_) {
        paused_ = true;
        inputs_.pause();
    }
}

int32_t PlaybackController::position() {
    return playing_ ? inputs_.position() / 1000 : 0;
}

void PlaybackController::seek(int32_t seconds) {
    // Seconds beyond what milliseconds can hold go to the farthest position instead of wrapping.
    const int64_t ms =
        std::clamp<int64_t>(int64_t{seconds} * 1000, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max());
    inputs_.seek(static_cast<int32_t>(ms));
}

int32_t PlaybackController::length() {
    if (inputs_.active() == nullptr) {
        return -1;
    }
    const int32_t ms = inputs_.length();
    if (ms == -1) {
        return -1;
    }
    const int32_t seconds = ms / 1000;
    return seconds < 1 && seconds != -1 ? 1 : seconds;
}

void PlaybackController::setVolume(int32_t volume) {
    inputs_.setVolume(volume);
    volume_ = static_cast<uint8_t>(volume & 0xFF);
}

bool PlaybackController::shuffleStep(int32_t step) {
    return order_.step(step, playlist_.entries(), repeat_ != 0, processRandom());
}

void PlaybackController::afterMove() {
    refreshCurrent();
    raise(kEventCurrentChanged);
    const bool wasPlaying = playing_;
    stop(false);
    if (wasPlaying) {
        startCurrent();
    }
}

void PlaybackController::next() {
    playlist::EntryList& entries = playlist_.entries();
    if (!shuffle_) {
        if (entries.moveCurrent(1) == -1) {
            if (!repeat_) {
                return;
            }
            entries.setCurrent(0);
        }
        if (entries.count() == 0) {
            return;
        }
    } else {
        if (entries.count() == 0) {
            return;
        }
        const int32_t before = entries.current();
        if (shuffleStep(1)) {
            if (!repeat_) {
                return;
            }
            shuffleStep(kFarBack);
        }
        if (entries.current() == before && entries.count() > 1) {
            shuffleStep(1);
        }
    }
    afterMove();
}

int32_t PlaybackController::previous() {
    playlist::EntryList& entries = playlist_.entries();
    if (!shuffle_) {
        if (entries.moveCurrent(-1) == -1) {
            if (!repeat_) {
                return 0;
            }
            entries.moveCurrent(kFarForward);
        }
    }
    if (entries.count() == 0) {
        return 0;
    }
    if (shuffle_ && shuffleStep(-1)) {
        return 1;
    }
    afterMove();
    return 0;
}

bool PlaybackController::endOfTrack() {
    playlist::EntryList& entries = playlist_.entries();
    if (entries.count() == 0) {
        stop(false);
        return true;
    }
    if (!shuffle_) {
        if (entries.moveCurrent(1) == -1) {
            if (!repeat_) {
                stop(false);
                return true;
            }
            entries.setCurrent(0);
        }
    } else {
        const int32_t before = entries.current();
        if (shuffleStep(1) && !repeat_) {
            stop(false);
            return false;
        }
        if (entries.current() == before && entries.count() > 1) {
            shuffleStep(1);
        }
    }
    refreshCurrent();
    raise(kEventCurrentChanged);
    startCurrent();
    return true;
}

int32_t PlaybackController::state() const noexcept {
    if (!playing_) {
        return 0;
    }
    if (paused_) {
        return 2;
    }
    return buffering_.buffering ? 3 : 1;
}

int32_t PlaybackController::bufferStatus() const noexcept {
    return playing_ && buffering_.buffering ? buffering_.bufferValue.load() : 255;
}

}  // namespace vexa::playback
