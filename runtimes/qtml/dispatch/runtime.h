#pragma once
// Everything the runtime library holds between calls: its counts and errors, the handles, and
// the objects it handed out (movies, controllers, window ports, off-screen buffers), looked up by
// the value the caller holds; and the one connection to the display of the caller's windows.
//
// Threads: every member is guarded by `mutex` (recursive: a controller's action filter may call
// back into the runtime from inside a call). Teardown is noexcept: ports go before the display
// connection, movies stop their threads as they go.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "runtimes/qtml/dispatch/handle_table.h"
#include "runtimes/qtml/dispatch/registry.h"
#include "runtimes/qtml/include/qtml/qtml.h"
#include "runtimes/qtml/movie/movie.h"
#include "runtimes/qtml/port/offscreen_buffer.h"
#include "runtimes/qtml/port/window_port.h"
#include "runtimes/qtml/port/xcb_connection.h"

namespace kinvo::qtml {

// A movie as the runtime hands it out: the value is this record's address.
struct MovieEntry {
    explicit MovieEntry(std::string text) : address(std::move(text)), movie(address) {}

    std::string address;
    Movie movie;
    intptr_t port = 0;  // the window port or buffer pictures go to; 0 none
    int boxLeft = 0;    // where in the port the movie box starts
    int boxTop = 0;
    uint32_t options = 0;
    char timeBase = 0;  // its address is the movie's time base
    char userData = 0;  // its address is the movie's user data

    intptr_t timeBaseValue() const noexcept { return reinterpret_cast<intptr_t>(&timeBase); }
    intptr_t userDataValue() const noexcept { return reinterpret_cast<intptr_t>(&userData); }
};

struct Controller {
    intptr_t movie = 0;
    QtmlRect box{};
    uint32_t flags = 0;
    QtmlActionFilter filter = nullptr;
    intptr_t refCon = 0;
};

struct Runtime {
    std::recursive_mutex mutex;
    int initializeCount = 0;           // guarded by mutex
    int enterCount = 0;                // guarded by mutex
    intptr_t moviesError = 0;          // guarded by mutex; kept until cleared
    intptr_t memoryError = 0;          // guarded by mutex; of the last handle call
    HandleTable handles;               // guarded by mutex
    Registry<MovieEntry> movies;       // guarded by mutex
    Registry<Controller> controllers;  // guarded by mutex
    // Declared before the ports, which use it until they go.
    std::unique_ptr<XcbConnection> display;  // guarded by mutex; opened at the first window
    Registry<WindowPort> ports;              // guarded by mutex
    Registry<OffscreenBuffer> buffers;       // guarded by mutex; by their BufferView's address

    ~Runtime() { releaseDisplay(); }

    // The window port or buffer `value` names; null for anything else.
    DrawingTarget* target(intptr_t value) const noexcept {
        if (WindowPort* port = ports.find(value)) {
            return port;
        }
        return buffers.find(value);
    }
    // The movie whose user data `value` is; null for anything else.
    MovieEntry* movieOfUserData(intptr_t value) const noexcept {
        for (const auto& [key, entry] : movies) {
            if (entry->userDataValue() == value) {
                return entry.get();
            }
        }
        return nullptr;
    }
    // Movies drawing into a target that goes draw nowhere.
    void detachTarget(intptr_t value) noexcept {
        for (const auto& [key, entry] : movies) {
            if (entry->port == value) {
                entry->port = 0;
            }
        }
    }
    // The ports go, then the connection.
    void releaseDisplay() noexcept {
        for (const auto& [key, port] : ports) {
            detachTarget(key);
        }
        ports.clear();
        display.reset();
    }
};

}  // namespace kinvo::qtml
