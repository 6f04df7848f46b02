#pragma once
// Scales decoded pictures to 32-bit BGRA of a given size through libswscale, into a buffer it
// keeps: the scaler and the buffer are made again only when the picture's or the box's size or
// format changes, so a steady play allocates nothing per picture.
//
// Threads: the movie thread's own. Error policy: scale answers false (nothing to show) when the
// size is empty or libswscale refuses the format; nothing throws except std::bad_alloc.

#include <cstdint>
#include <vector>

#include "lib/ffmpeg/handles.h"

namespace kinvo::qtml {

class PictureScaler {
  public:
    bool scale(const AVFrame& frame, int width, int height);
    const uint8_t* pixels() const noexcept { return buffer_.data(); }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    int stride() const noexcept { return width_ * 4; }

  private:
    ffmpeg::Scaler scaler_;
    std::vector<uint8_t> buffer_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kinvo::qtml
