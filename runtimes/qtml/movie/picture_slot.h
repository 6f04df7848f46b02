#pragma once
// The hand-over of pictures from a movie's thread to its caller: the movie thread publishes the
// picture that came due (already scaled to the movie box, 32-bit BGRA); the caller presents it
// into its own PictureTarget on its own thread, once, or again on demand.
//
// A go-to-time or a new movie box starts a new generation: a picture of an older generation
// (decoded before the jump but published after it) is refused, and a picture not yet presented is
// dropped.
//
// Threads: publish on the movie thread; everything else on any thread. Every member is guarded
// by `mutex_`; presenting holds it, so the target must not call back into the movie.
// Error policy: nothing throws; a picture that cannot be stored (no memory) is dropped.

#include <cstdint>
#include <mutex>
#include <vector>

#include "runtimes/qtml/movie/picture_target.h"

namespace kinvo::qtml {

class PictureSlot {
  public:
    uint64_t generation() const noexcept;
    // Movie thread: stores a due picture made in `generation`; answers false when refused.
    bool publish(const uint8_t* bgra, int width, int height, int stride,
                 uint64_t generation) noexcept;
    // A go-to-time or a new box: drops a picture not yet presented, begins the next generation.
    void beginGeneration() noexcept;
    // Presents the picture published since the last presentDue; false when there is none new.
    bool presentDue(PictureTarget& target) noexcept;
    // Presents the latest picture again; false before the first one.
    bool presentAgain(PictureTarget& target) noexcept;

  private:
    bool presentLocked(PictureTarget& target) noexcept;

    mutable std::mutex mutex_;
    std::vector<uint8_t> pixels_;  // guarded by mutex_; width_ * height_ * 4, packed
    int width_ = 0;                // guarded by mutex_
    int height_ = 0;               // guarded by mutex_
    bool fresh_ = false;           // guarded by mutex_; published, not yet presented
    uint64_t generation_ = 0;      // guarded by mutex_
};

}  // namespace kinvo::qtml
