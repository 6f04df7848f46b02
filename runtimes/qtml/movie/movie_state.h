#pragma once
// What a movie's control side and its thread share. Commands and answers that fit in a word are
// atomics; the stream information and the movie box are guarded by `mutex`.
//
// Threads: any caller thread and the movie thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "runtimes/qtml/movie/load_state.h"
#include "runtimes/qtml/movie/picture_slot.h"

namespace kinvo::qtml {

struct MovieInfo {
    int64_t durationMs = 0;
    int width = 0;  // the first video stream's, square pixels; 0 without pictures
    int height = 0;
    std::string title;
};

struct MovieState {
    std::atomic<int32_t> loadState{kLoading};
    std::atomic<bool> quit{false};
    std::atomic<bool> playing{false};
    std::atomic<bool> done{false};
    std::atomic<int64_t> currentMs{0};
    std::atomic<int64_t> seekMs{-1};  // a go-to-time the thread has not done yet; -1 none
    std::atomic<int32_t> volume{256};

    std::mutex mutex;
    std::condition_variable changed;  // with `mutex`: load state changes and commands
    MovieInfo info;                   // guarded by mutex; set before the load state is playable
    int boxWidth = 0;                 // guarded by mutex; the caller's movie box
    int boxHeight = 0;                // guarded by mutex

    PictureSlot pictures;  // the due picture, handed to the caller (locks itself)

    // Stores a new load state and wakes the waiters.
    void setLoadState(int32_t state) {
        {
            std::lock_guard lock(mutex);
            loadState = state;
        }
        changed.notify_all();
    }
    // Wakes the movie thread after a command.
    void poke() {
        { std::lock_guard lock(mutex); }
        changed.notify_all();
    }
};

}  // namespace kinvo::qtml
