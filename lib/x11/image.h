#pragma once
// Client-side images: a plain XImage with memory of its own (sent with XPutImage), and an
// XImage over a shared-memory segment (sent with XShmPutImage, which the server reads straight
// from the segment). Both are ZPixmap images in a visual's format. Move-only; the destructors
// free what the image holds.
//
// Any thread; the display outlives the image. Nothing throws: failures give an empty image.

#include <X11/Xlib.h>

#include "lib/x11/shm_segment.h"

namespace kinvo::x11 {

class Image {
  public:
    Image() = default;
    static Image create(::Display* display, ::Visual* visual, int depth, int width,
                        int height) noexcept;
    ~Image();
    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;

    explicit operator bool() const noexcept { return image_ != nullptr; }
    ::XImage* get() const noexcept { return image_; }

  private:
    ::XImage* image_ = nullptr;
};

class ShmImage {
  public:
    ShmImage() = default;
    // Empty when the server has no MIT-SHM or the segment cannot be attached.
    static ShmImage create(::Display* display, ::Visual* visual, int depth, int width,
                           int height) noexcept;
    ~ShmImage();
    ShmImage(ShmImage&& other) noexcept;
    ShmImage& operator=(ShmImage&& other) noexcept;

    explicit operator bool() const noexcept { return image_ != nullptr; }
    ::XImage* get() const noexcept { return image_; }

  private:
    void reset() noexcept;

    ::XImage* image_ = nullptr;
    ShmSegment segment_;  // after image_: the image goes first
};

}  // namespace kinvo::x11
