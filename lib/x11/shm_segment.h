#pragma once
// A System V shared-memory segment that the X server has attached (MIT-SHM): the memory behind
// shared images. Move-only; the destructor detaches it from the server (and waits for that),
// then from the process. The segment is marked for removal as soon as the server holds it, so
// it disappears with its last user even when the process dies.
//
// Any thread; the display must outlive the segment. Nothing throws: a failed attach leaves an
// empty segment.

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstddef>
#include <memory>

namespace kinvo::x11 {

class ShmSegment {
  public:
    ShmSegment() = default;
    // Empty when the server has no MIT-SHM, the memory cannot be had, or the attach fails (a
    // remote server, for one).
    static ShmSegment attach(::Display* display, std::size_t bytes) noexcept;
    ~ShmSegment();
    ShmSegment(ShmSegment&& other) noexcept;
    ShmSegment& operator=(ShmSegment&& other) noexcept;

    explicit operator bool() const noexcept { return display_ != nullptr; }
    // Stays at one address for the segment's life (images keep a pointer to it).
    ::XShmSegmentInfo* info() const noexcept { return info_.get(); }
    char* memory() const noexcept { return info_ ? info_->shmaddr : nullptr; }

  private:
    void reset() noexcept;

    ::Display* display_ = nullptr;
    std::unique_ptr<::XShmSegmentInfo> info_;
};

}  // namespace kinvo::x11
