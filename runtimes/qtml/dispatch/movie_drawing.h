#pragma once
// Draws a movie's picture into its port at the movie box's position, on the caller's thread.
//
// Threads: the runtime's, with its lock held. Error policy: answers false when the movie has no
// port or no picture to draw; never throws.

#include "runtimes/qtml/dispatch/runtime.h"

namespace kinvo::qtml {

// The picture that came due since the last pass (again: the latest picture once more).
bool drawMovie(const Runtime& runtime, MovieEntry& entry, bool again) noexcept;

}  // namespace kinvo::qtml
