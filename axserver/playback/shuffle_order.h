// The shuffled order of the playlist: a permutation drawn from the process's generator, a place
// in it and the playlist size it was made for. Stepping through it makes entries current; the
// order is drawn again when the playlist grew or shrank since it was made.
//
// Main thread only; nothing throws but std::bad_alloc.
#pragma once

#include <cstdint>
#include <vector>

#include "axserver/modules/process_random.h"
#include "axserver/playlist/entry_list.h"

namespace vexa::playback {

class ShuffleOrder {
  public:
    // The step that forgets the order and goes back to its first place.
    static constexpr int32_t kForget = -666;

    // Moves `step` places (a fresh order starts at its first place and ignores the step) and
    // makes the entry at the new place current. Past the end the place becomes the first one
    // with `repeat`, else the last; before the start it becomes the first. Answers true when the
    // place had to be brought back into the order that way.
    bool step(int32_t step, playlist::EntryList& entries, bool repeat, RandomGenerator& random);

    // The order as drawn (for tests and diagnostics).
    const std::vector<int32_t>& order() const noexcept { return order_; }

  private:
    void rebuild(int32_t n, RandomGenerator& random);

    std::vector<int32_t> order_;
    int32_t builtFor_ = -1;  // the playlist size the order was drawn for; -1: forgotten
    int64_t position_ = 0;
};

}  // namespace vexa::playback
