#include "runtimes/qtml/movie/picture_slot.h"

#include <cstring>

namespace kinvo::qtml {

uint64_t PictureSlot::generation() const noexcept {
    std::lock_guard lock(mutex_);
    return generation_;
}

bool PictureSlot::publish(const uint8_t* bgra, int width, int height, int stride,
                          uint64_t generation) noexcept {
    std::lock_guard lock(mutex_);
    if (generation != generation_ || width <= 0 || height <= 0) {
        return false;
    }
    const size_t row = static_cast<size_t>(width) * 4;
    try {
        pixels_.resize(row * static_cast<size_t>(height));
    } catch (...) {
        fresh_ = false;
        width_ = height_ = 0;
        return false;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(pixels_.data() + y * row, bgra + static_cast<ptrdiff_t>(y) * stride, row);
    }
    width_ = width;
    height_ = height;
    fresh_ = true;
    return true;
}

void PictureSlot::beginGeneration() noexcept {
    std::lock_guard lock(mutex_);
    ++generation_;
    fresh_ = false;
}

bool PictureSlot::presentDue(PictureTarget& target) noexcept {
    std::lock_guard lock(mutex_);
    if (!fresh_) {
        return false;
    }
    fresh_ = false;
    return presentLocked(target);
}

bool PictureSlot::presentAgain(PictureTarget& target) noexcept {
    std::lock_guard lock(mutex_);
    fresh_ = false;
    return presentLocked(target);
}

bool PictureSlot::presentLocked(PictureTarget& target) noexcept {
    if (width_ == 0 || height_ == 0) {
        return false;
    }
    target.present(pixels_.data(), width_, height_, width_ * 4);
    return true;
}

}  // namespace kinvo::qtml
