#pragma once
// A System V shared memory segment attached both here and to the X server (MIT-SHM), for
// pictures the server copies without a trip through the socket. Move-only owner: detaches from
// the server and from this process when dropped.
//
// Threads: the runtime's, with its lock held. Error policy: attach answers null when the segment
// cannot be made or the server refuses it (a remote server, another IPC namespace).

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kinvo::qtml {

class ShmSegment {
  public:
    static std::unique_ptr<ShmSegment> attach(xcb_connection_t* connection, size_t bytes) noexcept;
    ~ShmSegment();
    ShmSegment(const ShmSegment&) = delete;
    ShmSegment& operator=(const ShmSegment&) = delete;

    uint8_t* data() const noexcept { return data_; }
    size_t size() const noexcept { return size_; }
    xcb_shm_seg_t id() const noexcept { return id_; }

  private:
    ShmSegment(xcb_connection_t* connection, uint8_t* data, size_t size, xcb_shm_seg_t id) noexcept
        : connection_(connection), data_(data), size_(size), id_(id) {}

    xcb_connection_t* connection_;
    uint8_t* data_;
    size_t size_;
    xcb_shm_seg_t id_;
};

}  // namespace kinvo::qtml
