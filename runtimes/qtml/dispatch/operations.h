#pragma once
// The runtime's operations, one function each, as the dispatcher's table calls them: `args`
// holds the selector's arguments in their C order (as many as the table says).
//
// Threads: the dispatcher holds the runtime's lock around each call, except newMovieFromRef,
// which takes it itself so that a synchronous open waits without holding it.
// Error policy: each answers its selector's result; a value the runtime did not hand out (or a
// null out-pointer) answers QTML_ERR_PARAM; nothing throws.

#include <cstdint>

#include "runtimes/qtml/dispatch/runtime.h"

namespace kinvo::qtml::operations {

// Windows and the runtime's life.
intptr_t initialize(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t terminate(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t registerWindow(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t unregisterPort(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t windowPort(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t windowEvent(Runtime& runtime, const intptr_t* args) noexcept;

// Memory.
intptr_t memError(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t newHandle(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t disposeHandle(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t handleSize(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t copyBytes(Runtime& runtime, const intptr_t* args) noexcept;

// The movie toolbox.
intptr_t enterMovies(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t exitMovies(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t moviesError(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t clearMoviesError(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t moviesTask(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t newMovieFromRef(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t disposeMovie(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t loadState(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t isMovieDone(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t setMoviePort(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t naturalBox(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t setMovieBox(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t updateMovie(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t prepareMovie(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t movieOption(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t timeScale(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t duration(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t timeBase(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t currentTime(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t timeRange(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t userData(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t userDataText(Runtime& runtime, const intptr_t* args) noexcept;

// Off-screen buffers.
intptr_t newBuffer(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t updateBuffer(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t disposeBuffer(Runtime& runtime, const intptr_t* args) noexcept;

// Controllers and component calls.
intptr_t newController(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t disposeController(Runtime& runtime, const intptr_t* args) noexcept;
intptr_t callComponent(Runtime& runtime, const intptr_t* args) noexcept;

}  // namespace kinvo::qtml::operations
