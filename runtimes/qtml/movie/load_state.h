#pragma once
// The load states a movie climbs through, as the runtime's callers read them, and the errors a
// failed open leaves in their place.
//
// Error policy of the movie module: nothing throws across its public API. A movie that cannot be
// opened answers a negative load state: kRtspOpenFailed (-50) for an "rtsp:" address that cannot
// be opened, kOpenFailed (-2048) for every other failure (missing file, unreadable container,
// refused connection, no stream that can be decoded, out of memory). Later failures (a read
// error during play, no sound server) end or thin the play but never change the load state.

#include <cstdint>

namespace kinvo::qtml {

inline constexpr int32_t kLoading = 1000;         // opening, stream information not yet known
inline constexpr int32_t kPlayable = 10000;       // stream information known
inline constexpr int32_t kPlaythroughOk = 20000;  // enough data to play to the end
inline constexpr int32_t kOpenFailed = -2048;     // any open failure but an rtsp one
inline constexpr int32_t kRtspOpenFailed = -50;   // an "rtsp:" address that could not be opened

// QuickTime-style time units per second of every movie.
inline constexpr int32_t kTimeScale = 600;

}  // namespace kinvo::qtml
