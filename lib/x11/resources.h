#pragma once
// Server-side resources a renderer makes and frees again: pixmaps, graphics contexts and
// XRender pictures. Each owner holds the display with the handle; move-only; destruction frees
// the resource (a request; it does not wait for the server).
//
// Any thread; the display outlives the owner. Constructing from a handle takes ownership; a zero
// handle is empty.

#include <X11/Xlib.h>
#include <X11/extensions/Xrender.h>

#include <utility>

#include "lib/x11/display_state.h"

namespace kinvo::x11 {

template <typename Handle, void (*Free)(::Display*, Handle)>
class Resource {
  public:
    Resource() = default;
    Resource(::Display* display, Handle handle) noexcept : display_(display), handle_(handle) {}
    ~Resource() { reset(); }
    Resource(Resource&& other) noexcept
        : display_(std::exchange(other.display_, nullptr)),
          handle_(std::exchange(other.handle_, {})) {}
    Resource& operator=(Resource&& other) noexcept {
        if (this != &other) {
            reset();
            display_ = std::exchange(other.display_, nullptr);
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }

    explicit operator bool() const noexcept { return handle_ != Handle{}; }
    Handle get() const noexcept { return handle_; }
    void reset() noexcept {
        if (display_ != nullptr && handle_ != Handle{} && !displayLost(display_)) {
            Free(display_, handle_);
        }
        display_ = nullptr;
        handle_ = {};
    }

  private:
    ::Display* display_ = nullptr;
    Handle handle_{};
};

namespace detail {
inline void freePixmap(::Display* display, ::Pixmap pixmap) {
    XFreePixmap(display, pixmap);
}
inline void freeGc(::Display* display, ::GC gc) {
    XFreeGC(display, gc);
}
inline void freePicture(::Display* display, ::Picture picture) {
    XRenderFreePicture(display, picture);
}
}  // namespace detail

using Pixmap = Resource<::Pixmap, &detail::freePixmap>;
using Gc = Resource<::GC, &detail::freeGc>;
using Picture = Resource<::Picture, &detail::freePicture>;

}  // namespace kinvo::x11
