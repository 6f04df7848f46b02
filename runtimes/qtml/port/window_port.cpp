#include "runtimes/qtml/port/window_port.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kinvo::qtml {
namespace {

// The fixed part of a PutImage request.
constexpr size_t kPutImageHeader = 24;
// A strip stays this small even when the server takes larger requests, so that one picture does
// not hold up the connection's other requests for long.
constexpr size_t kMaxStripBytes = 256 * 1024;

// Copies `height` rows of `rowBytes` from rows `stride` apart into packed rows at `to`.
void copyRows(const uint8_t* from, int stride, size_t rowBytes, int height, uint8_t* to) {
    for (int row = 0; row < height; ++row) {
        std::memcpy(to + row * rowBytes, from + static_cast<ptrdiff_t>(row) * stride, rowBytes);
    }
}

}  // namespace

std::unique_ptr<WindowPort> WindowPort::open(XcbConnection& connection, uint32_t window) noexcept {
    xcb_connection_t* c = connection.get();
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    // Little-endian 32-bit pixels of such a visual are BGRA bytes.
    const bool lsbFirst = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    const bool drawable = lsbFirst && attributes != nullptr && geometry != nullptr &&
                          (geometry->depth == 24 || geometry->depth == 32) &&
                          connection.bitsPerPixel(geometry->depth) == 32 &&
                          connection.isBgraVisual(attributes->visual);
    const uint8_t depth = geometry != nullptr ? geometry->depth : 0;
    std::free(attributes);
    std::free(geometry);
    if (!drawable) {
        return nullptr;
    }
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t noExposures = 0;
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_create_gc_checked(c, gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures));
    if (error != nullptr) {
        std::free(error);
        return nullptr;
    }
    std::unique_ptr<WindowPort> port(new (std::nothrow) WindowPort(connection, window, gc, depth));
    if (!port) {
        xcb_free_gc(c, gc);
    }
    return port;
}

WindowPort::~WindowPort() {
    shared_.reset();
    xcb_free_gc(connection_.get(), gc_);
    xcb_flush(connection_.get());
}

void WindowPort::draw(const uint8_t* bgra, int width, int height, int stride, int x,
                      int y) noexcept {
    xcb_connection_t* c = connection_.get();
    connection_.drainEvents();
    // The window's size now: it may have been resized, or be gone (no reply).
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window_), nullptr);
    if (geometry == nullptr) {
        return;
    }
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + width, static_cast<int>(geometry->width));
    const int bottom = std::min(y + height, static_cast<int>(geometry->height));
    std::free(geometry);
    if (left >= right || top >= bottom) {
        return;
    }
    const uint8_t* first =
        bgra + static_cast<ptrdiff_t>(top - y) * stride + static_cast<ptrdiff_t>(left - x) * 4;
    if (!drawShared(first, stride, right - left, bottom - top, left, top)) {
        drawStrips(first, stride, right - left, bottom - top, left, top);
    }
}

bool WindowPort::drawShared(const uint8_t* bgra, int stride, int width, int height, int x,
                            int y) noexcept {
    if (!connection_.hasShm() || sharedRefused_) {
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    const size_t bytes = rowBytes * height;
    if (!shared_ || shared_->size() < bytes) {
        shared_.reset();
        shared_ = ShmSegment::attach(connection_.get(), bytes);
        if (!shared_) {
            sharedRefused_ = true;
            return false;
        }
    }
    copyRows(bgra, stride, rowBytes, height, shared_->data());
    xcb_connection_t* c = connection_.get();
    // Checked, so that the segment is not written again before the server has read it.
    std::free(xcb_request_check(
        c, xcb_shm_put_image_checked(c, window_, gc_, width, height, 0, 0, width, height, x, y,
                                     depth_, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, shared_->id(), 0)));
    return true;
}

void WindowPort::drawStrips(const uint8_t* bgra, int stride, int width, int height, int x,
                            int y) noexcept {
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    const size_t limit = std::min(connection_.maxRequestBytes(), kMaxStripBytes);
    const size_t room = limit > kPutImageHeader ? limit - kPutImageHeader : 0;
    const int rowsPerStrip = std::min(height, static_cast<int>(room / rowBytes));
    if (rowsPerStrip <= 0) {
        return;  // a single row does not fit a request
    }
    try {
        strip_.resize(rowBytes * rowsPerStrip);
    } catch (...) {
        return;
    }
    xcb_connection_t* c = connection_.get();
    std::vector<xcb_void_cookie_t> cookies;
    for (int row = 0; row < height; row += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, height - row);
        copyRows(bgra + static_cast<ptrdiff_t>(row) * stride, stride, rowBytes, rows,
                 strip_.data());
        const xcb_void_cookie_t cookie = xcb_put_image_checked(
            c, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, width, rows, x, y + row, 0, depth_,
            static_cast<uint32_t>(rowBytes * rows), strip_.data());
        // Checked one by one: the strip buffer is reused for the next request.
        std::free(xcb_request_check(c, cookie));
    }
}

}  // namespace kinvo::qtml
