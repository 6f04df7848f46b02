// The movie toolbox: its counts and error, movies from an address, their queries, their port and
// box, and the task pass that draws what came due. A call that fails leaves its error in
// runtime.moviesError until it is cleared (an absent user data text is an answer, not a failure).
#include <chrono>
#include <cstring>
#include <string>

#include "runtimes/qtml/dispatch/movie_drawing.h"
#include "runtimes/qtml/dispatch/operations.h"

namespace kinvo::qtml::operations {
namespace {

using namespace std::chrono_literals;

// How long a synchronous open waits for the movie to become playable.
constexpr std::chrono::milliseconds kSynchronousOpenLimit = 30s;

intptr_t fail(Runtime& runtime, intptr_t error) {
    runtime.moviesError = error;
    return error;
}

template <typename T>
T* pointer(intptr_t value) {
    return reinterpret_cast<T*>(value);
}

// A failed "rtsp:" stream is reported through the movies error.
void taskOne(Runtime& runtime, MovieEntry& entry) {
    drawMovie(runtime, entry, false);
    if (entry.movie.loadState() < 0 && entry.address.rfind("rtsp:", 0) == 0) {
        runtime.moviesError = QTML_ERR_PARAM;
    }
}

}  // namespace

intptr_t enterMovies(Runtime& runtime, const intptr_t*) noexcept {
    ++runtime.enterCount;
    return 0;
}

intptr_t exitMovies(Runtime& runtime, const intptr_t*) noexcept {
    if (runtime.enterCount > 0) {
        --runtime.enterCount;
    }
    return 0;
}

intptr_t moviesError(Runtime& runtime, const intptr_t*) noexcept {
    return runtime.moviesError;
}

intptr_t clearMoviesError(Runtime& runtime, const intptr_t*) noexcept {
    runtime.moviesError = 0;
    return 0;
}

intptr_t moviesTask(Runtime& runtime, const intptr_t* args) noexcept {
    if (args[0] == 0) {
        for (const auto& [key, entry] : runtime.movies) {
            taskOne(runtime, *entry);
        }
        return 0;
    }
    MovieEntry* entry = runtime.movies.find(args[0]);
    if (entry == nullptr) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    taskOne(runtime, *entry);
    return 0;
}

// Takes the runtime's lock itself: a synchronous open waits for the movie without it.
intptr_t newMovieFromRef(Runtime& runtime, const intptr_t* args) noexcept {
    intptr_t* out = pointer<intptr_t>(args[0]);
    const bool synchronous = (static_cast<uint32_t>(args[1]) & QTML_NEW_MOVIE_ASYNC) == 0;
    std::unique_ptr<MovieEntry> entry;
    {
        std::lock_guard lock(runtime.mutex);
        if (out == nullptr) {
            return fail(runtime, QTML_ERR_PARAM);
        }
        *out = 0;
        const QtmlHandle handle = reinterpret_cast<QtmlHandle>(args[3]);
        const std::optional<size_t> size = runtime.handles.size(handle);
        if (static_cast<uint32_t>(args[4]) != QTML_REF_URL || !size) {
            return fail(runtime, QTML_ERR_PARAM);
        }
        const size_t length = strnlen(*handle, *size);
        if (length == 0) {
            return fail(runtime, QTML_ERR_PARAM);
        }
        try {
            entry = std::make_unique<MovieEntry>(std::string(*handle, length));
        } catch (...) {
            return fail(runtime, QTML_ERR_MEMORY);
        }
    }
    if (synchronous) {
        const int32_t state = entry->movie.waitForLoadState(kPlayable, kSynchronousOpenLimit);
        if (state < kPlayable) {
            std::lock_guard lock(runtime.mutex);
            return fail(runtime, state < 0 ? state : QTML_ERR_BAD_MOVIE);
        }
    }
    std::lock_guard lock(runtime.mutex);
    const intptr_t key = reinterpret_cast<intptr_t>(entry.get());
    if (!runtime.movies.add(key, std::move(entry))) {
        return fail(runtime, QTML_ERR_MEMORY);
    }
    *out = key;
    return 0;
}

intptr_t disposeMovie(Runtime& runtime, const intptr_t* args) noexcept {
    return runtime.movies.take(args[0]) ? 0 : fail(runtime, QTML_ERR_PARAM);
}

intptr_t loadState(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    return entry != nullptr ? entry->movie.loadState() : fail(runtime, QTML_ERR_PARAM);
}

intptr_t isMovieDone(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    if (entry == nullptr) {
        fail(runtime, QTML_ERR_PARAM);
        return 0;
    }
    return entry->movie.isDone() ? 1 : 0;
}

intptr_t setMoviePort(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    if (entry == nullptr || (args[1] != 0 && runtime.target(args[1]) == nullptr)) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    entry->port = args[1];
    drawMovie(runtime, *entry, true);  // the new port shows the latest picture at once
    return 0;
}

intptr_t naturalBox(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    QtmlRect* box = pointer<QtmlRect>(args[1]);
    if (entry == nullptr || box == nullptr) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    const Box natural = entry->movie.naturalBox();
    *box = {0, 0, static_cast<int16_t>(natural.height), static_cast<int16_t>(natural.width)};
    return 0;
}

intptr_t setMovieBox(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    const QtmlRect* box = pointer<const QtmlRect>(args[1]);
    if (entry == nullptr || box == nullptr || box->right < box->left || box->bottom < box->top) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    entry->boxLeft = box->left;
    entry->boxTop = box->top;
    entry->movie.setMovieBox(box->right - box->left, box->bottom - box->top);
    return 0;
}

intptr_t updateMovie(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    if (entry == nullptr) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    drawMovie(runtime, *entry, true);
    return 0;
}

intptr_t prepareMovie(Runtime& runtime, const intptr_t* args) noexcept {
    return runtime.movies.find(args[0]) != nullptr ? 0 : fail(runtime, QTML_ERR_PARAM);
}

intptr_t movieOption(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    if (entry == nullptr) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    const auto options = static_cast<uint32_t>(args[1]);
    const auto mask = static_cast<uint32_t>(args[2]);
    entry->options = (entry->options & ~mask) | (options & mask);
    return 0;
}

intptr_t timeScale(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    return entry != nullptr ? entry->movie.timeScale() : fail(runtime, QTML_ERR_PARAM);
}

intptr_t duration(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    return entry != nullptr ? entry->movie.duration() : fail(runtime, QTML_ERR_PARAM);
}

intptr_t timeBase(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    return entry != nullptr ? entry->timeBaseValue() : fail(runtime, QTML_ERR_PARAM);
}

intptr_t currentTime(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    if (entry == nullptr) {
        fail(runtime, QTML_ERR_PARAM);
        return 0;
    }
    const MovieTime now = entry->movie.currentTime();
    if (QtmlTimeRecord* record = pointer<QtmlTimeRecord>(args[1])) {
        *record = {now.value, now.scale, entry->timeBaseValue()};
    }
    return static_cast<intptr_t>(now.value);
}

intptr_t timeRange(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    int64_t* first = pointer<int64_t>(args[1]);
    int64_t* last = pointer<int64_t>(args[2]);
    if (entry == nullptr || first == nullptr || last == nullptr) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    const TimeRange range = entry->movie.timeRange();
    *first = range.first;
    *last = range.last;
    return 0;
}

intptr_t userData(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movies.find(args[0]);
    if (entry == nullptr) {
        fail(runtime, QTML_ERR_PARAM);
        return 0;
    }
    return entry->userDataValue();
}

intptr_t userDataText(Runtime& runtime, const intptr_t* args) noexcept {
    MovieEntry* entry = runtime.movieOfUserData(args[0]);
    const QtmlHandle handle = reinterpret_cast<QtmlHandle>(args[1]);
    if (entry == nullptr || !runtime.handles.size(handle)) {
        return fail(runtime, QTML_ERR_PARAM);
    }
    if (static_cast<uint32_t>(args[2]) != QTML_TEXT_NAME || args[3] != 1) {
        return QTML_ERR_NOT_FOUND;
    }
    const std::string title = entry->movie.title();
    if (title.empty()) {
        return QTML_ERR_NOT_FOUND;
    }
    if (!runtime.handles.resize(handle, title.size())) {
        return fail(runtime, QTML_ERR_MEMORY);
    }
    std::memcpy(*handle, title.data(), title.size());  // no terminating zero
    return 0;
}

}  // namespace kinvo::qtml::operations
