#pragma once
// Move-only owners of the X handles the module holds: each frees its handle through the display
// it came from when it goes. Owners never outlive the process's one connection (it is never
// closed), so they keep a plain pointer to it.

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <utility>

namespace win::x11::detail {

template <typename Handle, void (*Free)(::Display*, Handle)>
class XOwner {
  public:
    XOwner() = default;
    XOwner(::Display* dpy, Handle handle) noexcept : dpy_(dpy), handle_(handle) {}
    XOwner(XOwner&& other) noexcept
        : dpy_(other.dpy_), handle_(std::exchange(other.handle_, Handle{})) {}
    XOwner& operator=(XOwner&& other) noexcept {
        if (this != &other) {
            reset();
            dpy_ = other.dpy_;
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    XOwner(const XOwner&) = delete;
    XOwner& operator=(const XOwner&) = delete;
    ~XOwner() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Handle{}; }
    void reset() noexcept {
        if (handle_ != Handle{}) {
            Free(dpy_, handle_);
            handle_ = Handle{};
        }
    }

  private:
    ::Display* dpy_ = nullptr;
    Handle handle_{};
};

inline void freeGc(::Display* dpy, GC gc) {
    XFreeGC(dpy, gc);
}
inline void freePixmap(::Display* dpy, Pixmap pixmap) {
    XFreePixmap(dpy, pixmap);
}
inline void closeFont(::Display* dpy, XftFont* font) {
    XftFontClose(dpy, font);
}
inline void destroyDraw(::Display*, XftDraw* draw) {
    XftDrawDestroy(draw);
}
// An image whose pixels belong to someone else has them detached first.
inline void destroyImage(::Display*, XImage* image) {
    XDestroyImage(image);
}

using UniqueGc = XOwner<GC, freeGc>;
using UniquePixmap = XOwner<Pixmap, freePixmap>;
using UniqueFont = XOwner<XftFont*, closeFont>;
using UniqueDraw = XOwner<XftDraw*, destroyDraw>;
using UniqueImage = XOwner<XImage*, destroyImage>;

}  // namespace win::x11::detail
