#pragma once
// Movie times (units of a time scale per second) to and from milliseconds. Pure. The products
// are taken in 64 bits and the results saturate to 32 bits: a movie longer than 2^31 / 1000
// units (about an hour at 600 units a second, 24 s at 90000) keeps its true length and position
// instead of wrapping to a wrong or negative one.

#include <cstdint>

namespace kinvo::in_mova {

// duration x 1000 / scale; -1 (unknown) for a scale of 0 or below or a negative duration.
int32_t lengthMs(int64_t duration, int32_t scale) noexcept;
// A position: value x 1000 / scale, 0 for a scale of 0 or below or a negative value.
int32_t positionMs(int64_t value, int32_t scale) noexcept;
// The movie time to go to for ms: ms x scale / 1000, and when that lies beyond the end of the
// movie's time range, the end less 1000 units (never below 0).
int64_t seekTarget(int32_t ms, int32_t scale, int64_t rangeEnd) noexcept;

}  // namespace kinvo::in_mova
