#include "lib/x11/image.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <utility>

namespace kinvo::x11 {

Image Image::create(::Display* display, ::Visual* visual, int depth, int width,
                    int height) noexcept {
    Image result;
    if (display == nullptr || visual == nullptr || width <= 0 || height <= 0) {
        return result;
    }
    ::XImage* image =
        XCreateImage(display, visual, depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (image == nullptr) {
        return result;
    }
    image->data = static_cast<char*>(
        std::calloc(static_cast<std::size_t>(image->bytes_per_line) * height, 1));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return result;
    }
    result.image_ = image;
    return result;
}

Image::~Image() {
    if (image_ != nullptr) {
        XDestroyImage(image_);  // frees the data too
    }
}

Image::Image(Image&& other) noexcept : image_(std::exchange(other.image_, nullptr)) {}

Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        if (image_ != nullptr) {
            XDestroyImage(image_);
        }
        image_ = std::exchange(other.image_, nullptr);
    }
    return *this;
}

ShmImage ShmImage::create(::Display* display, ::Visual* visual, int depth, int width,
                          int height) noexcept {
    ShmImage result;
    if (display == nullptr || visual == nullptr || width <= 0 || height <= 0 ||
        !XShmQueryExtension(display)) {
        return result;
    }
    ::XShmSegmentInfo probe{};
    ::XImage* image =
        XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &probe, width, height);
    if (image == nullptr) {
        return result;
    }
    ShmSegment segment =
        ShmSegment::attach(display, static_cast<std::size_t>(image->bytes_per_line) * height);
    if (!segment) {
        XDestroyImage(image);
        return result;
    }
    image->data = segment.memory();
    image->obdata = reinterpret_cast<char*>(segment.info());
    result.image_ = image;
    result.segment_ = std::move(segment);
    return result;
}

ShmImage::~ShmImage() {
    reset();
}

ShmImage::ShmImage(ShmImage&& other) noexcept
    : image_(std::exchange(other.image_, nullptr)), segment_(std::move(other.segment_)) {}

ShmImage& ShmImage::operator=(ShmImage&& other) noexcept {
    if (this != &other) {
        reset();
        image_ = std::exchange(other.image_, nullptr);
        segment_ = std::move(other.segment_);
    }
    return *this;
}

void ShmImage::reset() noexcept {
    if (image_ != nullptr) {
        image_->data = nullptr;  // the segment's, not the image's
        XDestroyImage(image_);
        image_ = nullptr;
    }
    segment_ = ShmSegment();
}

}  // namespace kinvo::x11
