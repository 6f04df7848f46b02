#pragma once
// An XVideo image in shared memory (XvShmCreateImage over an attached segment): the frame an
// XVideo port shows with XvShmPutImage. Move-only; the destructor frees the image, then detaches
// the segment.
//
// Any thread; the display outlives the image. Nothing throws: failures give an empty image.

#include <X11/Xlib.h>
#include <X11/extensions/Xvlib.h>

#include "lib/x11/shm_segment.h"

namespace kinvo::x11 {

class XvShmImage {
  public:
    XvShmImage() = default;
    // format is the image format's id (a FOURCC for packed YUV). Empty when the server refuses.
    static XvShmImage create(::Display* display, ::XvPortID port, int format, int width,
                             int height) noexcept;
    ~XvShmImage();
    XvShmImage(XvShmImage&& other) noexcept;
    XvShmImage& operator=(XvShmImage&& other) noexcept;

    explicit operator bool() const noexcept { return image_ != nullptr; }
    ::XvImage* get() const noexcept { return image_; }

  private:
    void reset() noexcept;

    ::XvImage* image_ = nullptr;
    ShmSegment segment_;
};

}  // namespace kinvo::x11
