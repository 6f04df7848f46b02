#pragma once
// The work of a movie's thread: opens the address, publishes the stream information and the load
// state, then reads, decodes and paces until the movie is dropped. Internal to the movie module.
//
// Threads: run() is the movie thread's body; everything else it touches is in MovieState.
// Error policy: run() never throws: a failure to open becomes a negative load state, any later
// failure ends the play.

#include <string>

#include "runtimes/qtml/movie/movie_state.h"

namespace kinvo::qtml {

void runMovie(const std::string& address, MovieState& state) noexcept;

}  // namespace kinvo::qtml
