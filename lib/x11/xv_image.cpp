#include "lib/x11/xv_image.h"

#include <X11/Xutil.h>

#include <utility>

namespace kinvo::x11 {

XvShmImage XvShmImage::create(::Display* display, ::XvPortID port, int format, int width,
                              int height) noexcept {
    XvShmImage result;
    if (display == nullptr || width <= 0 || height <= 0) {
        return result;
    }
    ::XShmSegmentInfo probe{};
    ::XvImage* image = XvShmCreateImage(display, port, format, nullptr, width, height, &probe);
    if (image == nullptr) {
        return result;
    }
    ShmSegment segment =
        image->data_size > 0 ? ShmSegment::attach(display, image->data_size) : ShmSegment();
    if (!segment) {
        XFree(image);
        return result;
    }
    image->data = segment.memory();
    image->obdata = reinterpret_cast<XPointer>(segment.info());
    result.image_ = image;
    result.segment_ = std::move(segment);
    return result;
}

XvShmImage::~XvShmImage() {
    reset();
}

XvShmImage::XvShmImage(XvShmImage&& other) noexcept
    : image_(std::exchange(other.image_, nullptr)), segment_(std::move(other.segment_)) {}

XvShmImage& XvShmImage::operator=(XvShmImage&& other) noexcept {
    if (this != &other) {
        reset();
        image_ = std::exchange(other.image_, nullptr);
        segment_ = std::move(other.segment_);
    }
    return *this;
}

void XvShmImage::reset() noexcept {
    if (image_ != nullptr) {
        XFree(image_);  // one allocation with its pitch and offset tables
        image_ = nullptr;
    }
    segment_ = ShmSegment();
}

}  // namespace kinvo::x11
