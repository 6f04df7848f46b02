#include "runtimes/qtml/port/offscreen_buffer.h"

#include <algorithm>
#include <cstring>

namespace kinvo::qtml {
namespace {

constexpr uint32_t kBgra = 0x42475241;  // 'BGRA'
constexpr int kMaxSide = 16384;

}  // namespace

std::unique_ptr<OffscreenBuffer> OffscreenBuffer::make(int width, int height) noexcept {
    std::unique_ptr<OffscreenBuffer> buffer(new (std::nothrow) OffscreenBuffer);
    if (!buffer || !buffer->resize(width, height)) {
        return nullptr;
    }
    return buffer;
}

bool OffscreenBuffer::resize(int width, int height) noexcept {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return false;
    }
    try {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
        pixels_.swap(pixels);
    } catch (...) {
        return false;
    }
    view_ = {kBgra, width, height, width * 4, pixels_.data()};
    return true;
}

void OffscreenBuffer::draw(const uint8_t* bgra, int width, int height, int stride, int x,
                           int y) noexcept {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + width, view_.width);
    const int bottom = std::min(y + height, view_.height);
    if (left >= right || top >= bottom) {
        return;
    }
    const size_t bytes = static_cast<size_t>(right - left) * 4;
    for (int row = top; row < bottom; ++row) {
        const uint8_t* from =
            bgra + static_cast<ptrdiff_t>(row - y) * stride + static_cast<ptrdiff_t>(left - x) * 4;
        std::memcpy(view_.pixels + static_cast<ptrdiff_t>(row) * view_.stride + left * 4, from,
                    bytes);
    }
}

}  // namespace kinvo::qtml
