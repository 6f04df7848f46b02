#pragma once
// The runtime's own connection to the X server of the caller's windows, through XCB (never Xlib:
// the host owns Xlib's process-wide error handler). Knows what drawing needs: whether MIT-SHM is
// usable, the largest request, the image formats and the TrueColor visuals.
//
// Threads: the runtime's, with its lock held. Error policy: open answers null when no server is
// reachable; X errors of requests are checked (or drained) where they are made and ignored.

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kinvo::qtml {

class XcbConnection {
  public:
    // Connects to the display `name` names (null: the one DISPLAY names).
    static std::unique_ptr<XcbConnection> open(const char* name) noexcept;
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* get() const noexcept { return connection_; }
    bool hasShm() const noexcept { return shm_; }
    // The largest request the server takes, in bytes.
    size_t maxRequestBytes() const noexcept { return maxRequestBytes_; }
    // Bits a pixel of images of `depth`; 0 when the server has no format for it.
    int bitsPerPixel(uint8_t depth) const noexcept;
    // Whether `visual` is TrueColor with red, green and blue at 0xff0000, 0xff00 and 0xff (so
    // that little-endian BGRA pixels are its pixel values).
    bool isBgraVisual(xcb_visualid_t visual) const noexcept;
    // Drops the events and the errors of unchecked requests the server has sent.
    void drainEvents() noexcept;

  private:
    explicit XcbConnection(xcb_connection_t* connection) noexcept;

    xcb_connection_t* connection_;
    bool shm_ = false;
    size_t maxRequestBytes_ = 0;
};

}  // namespace kinvo::qtml
