#pragma once
// A caller's X11 window as a drawing target: pictures go into it through the runtime's own XCB
// connection, by MIT-SHM when the server takes a shared segment, else by plain image requests cut
// into strips that fit the largest request (and 256 KB).
//
// Only TrueColor windows of depth 24 or 32 whose pixels are 32 bits, least significant byte
// first, are taken. The window stays
// the caller's: a window that was resized clips the picture to its new size, one that is gone
// draws nothing (each request's error is checked and dropped).
//
// Threads: the runtime's, with its lock held; the connection outlives the port.
// Error policy: open answers null for a window that does not exist or cannot be drawn into;
// draw never fails loudly.

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtimes/qtml/port/drawing_target.h"
#include "runtimes/qtml/port/shm_segment.h"
#include "runtimes/qtml/port/xcb_connection.h"

namespace kinvo::qtml {

class WindowPort final : public DrawingTarget {
  public:
    static std::unique_ptr<WindowPort> open(XcbConnection& connection, uint32_t window) noexcept;
    ~WindowPort() override;
    WindowPort(const WindowPort&) = delete;
    WindowPort& operator=(const WindowPort&) = delete;

    uint32_t window() const noexcept { return window_; }
    void draw(const uint8_t* bgra, int width, int height, int stride, int x,
              int y) noexcept override;

  private:
    WindowPort(XcbConnection& connection, uint32_t window, xcb_gcontext_t gc,
               uint8_t depth) noexcept
        : connection_(connection), window_(window), gc_(gc), depth_(depth) {}
    bool drawShared(const uint8_t* bgra, int stride, int width, int height, int x, int y) noexcept;
    void drawStrips(const uint8_t* bgra, int stride, int width, int height, int x, int y) noexcept;

    XcbConnection& connection_;
    uint32_t window_;
    xcb_gcontext_t gc_;
    uint8_t depth_;
    std::unique_ptr<ShmSegment> shared_;  // made at the first draw when the server has MIT-SHM
    bool sharedRefused_ = false;          // the server would not attach a segment: strips
    std::vector<uint8_t> strip_;          // the rows of one request
};

}  // namespace kinvo::qtml
