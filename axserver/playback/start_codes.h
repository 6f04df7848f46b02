// What a failed start means for the client and for the playlist: the events raised for each
// answer of a plug-in's play, in order, and whether playback moves on to the next entry.
#pragma once

#include <cstdint>
#include <span>

namespace vexa::playback {

enum class AfterFailure { kAdvance, kStop };

struct StartFailure {
    std::span<const int32_t> events;
    AfterFailure then;
};

// The reaction to a nonzero start code (every code not listed: event 102, then advance).
StartFailure startFailure(int32_t code) noexcept;

}  // namespace vexa::playback
