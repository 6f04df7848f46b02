#pragma once
// libburn's process-wide state. Every user keeps one Library alive while it scans, grabs or
// writes: the first of the process initialises libburn (and gives signals back to their default
// handling, so libburn never takes over its host's signals), later ones share that state, and
// the last one to go finishes it. A mutex orders them. ok() is false when initialisation failed;
// nothing else may then be called. Move-only; never throws.

namespace kinvo::burn {

class Library {
  public:
    Library() noexcept;
    Library(Library&& other) noexcept;
    Library& operator=(Library&& other) noexcept;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library();

    bool ok() const noexcept { return ok_; }

  private:
    void release() noexcept;
    bool ok_ = false;
};

}  // namespace kinvo::burn
