#include "runtimes/qtml/movie/picture_scaler.h"

namespace kinvo::qtml {

bool PictureScaler::scale(const AVFrame& frame, int width, int height) {
    if (width <= 0 || height <= 0 || frame.width <= 0 || frame.height <= 0) {
        return false;
    }
    // sws_getCachedContext frees and replaces the context only when a parameter changed.
    SwsContext* cached = sws_getCachedContext(
        scaler_.release(), frame.width, frame.height, static_cast<AVPixelFormat>(frame.format),
        width, height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    scaler_.reset(cached);
    if (!scaler_) {
        return false;
    }
    width_ = width;
    height_ = height;
    buffer_.resize(static_cast<size_t>(width) * height * 4);
    uint8_t* planes[4] = {buffer_.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {stride(), 0, 0, 0};
    return sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) >
           0;
}

}  // namespace kinvo::qtml
