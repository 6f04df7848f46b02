#include "plugins/in_av/picture_sink.h"

#include <cstring>

namespace kinvo::in_av {

namespace {

struct Direct {
    AVPixelFormat format;
    uint32_t type;
    int bytesPerPixel;  // of the packed layouts; 0 for planes
};

constexpr Direct kDirect[] = {
    {AV_PIX_FMT_YUV420P, SONARI_VIDEO_YV12, 0}, {AV_PIX_FMT_YUVJ420P, SONARI_VIDEO_YV12, 0},
    {AV_PIX_FMT_YUYV422, SONARI_VIDEO_YUY2, 2}, {AV_PIX_FMT_UYVY422, SONARI_VIDEO_UYVY, 2},
    {AV_PIX_FMT_BGR0, SONARI_VIDEO_RG32, 4},    {AV_PIX_FMT_BGRA, SONARI_VIDEO_RG32, 4},
    {AV_PIX_FMT_BGR24, SONARI_VIDEO_RG24, 3},
};

const Direct* directOf(int format) noexcept {
    for (const Direct& entry : kDirect) {
        if (entry.format == format) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

bool PictureSink::draw(const AVFrame& frame, double aspect) {
    if (frame.width <= 0 || frame.height <= 0 || !prepare(frame, aspect)) {
        return false;
    }
    const void* picture = layout(frame);
    if (picture == nullptr) {
        return false;
    }
    output_.draw(picture);
    return true;
}

bool PictureSink::prepare(const AVFrame& frame, double aspect) noexcept {
    if (type_ != 0 && frame.width == width_ && frame.height == height_ && frame.format == format_ &&
        aspect == aspect_) {
        return true;
    }
    const Direct* direct = directOf(frame.format);
    if (direct == nullptr) {
        // Converted to yuv420p at the same size, into a frame made once per size and format.
        scaler_.reset(sws_getContext(
            frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
            frame.height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
        converted_ = ffmpeg::makeFrame();
        if (!scaler_ || !converted_) {
            type_ = 0;
            return false;
        }
        converted_->width = frame.width;
        converted_->height = frame.height;
        converted_->format = AV_PIX_FMT_YUV420P;
        if (av_frame_get_buffer(converted_.get(), 0) < 0) {
            type_ = 0;
            return false;
        }
    } else {
        scaler_.reset();
        converted_.reset();
    }
    width_ = frame.width;
    height_ = frame.height;
    format_ = frame.format;
    aspect_ = aspect;
    type_ = direct != nullptr ? direct->type : SONARI_VIDEO_YV12;
    // 1 (no renderer takes the type) leaves the output retrying at each draw.
    output_.open(width_, height_, 0, aspect_, type_);
    opened_ = true;
    return true;
}

const void* PictureSink::layout(const AVFrame& frame) {
    const AVFrame* planar = &frame;
    if (scaler_) {
        if (sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, converted_->data,
                      converted_->linesize) <= 0) {
            return nullptr;
        }
        planar = converted_.get();
    }
    const Direct* direct = directOf(planar->format);
    if (direct == nullptr || direct->bytesPerPixel == 0) {
        planes_ = {planar->data[0],     planar->linesize[0], planar->data[1],
                   planar->linesize[1], planar->data[2],     planar->linesize[2]};
        return &planes_;
    }
    const size_t row = static_cast<size_t>(frame.width) * direct->bytesPerPixel;
    if (frame.linesize[0] == static_cast<int>(row)) {
        return frame.data[0];
    }
    // The decoder pads its rows (or stores them bottom-up): the output takes them packed.
    packed_.resize(row * static_cast<size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y) {
        std::memcpy(packed_.data() + row * static_cast<size_t>(y),
                    frame.data[0] + static_cast<ptrdiff_t>(y) * frame.linesize[0], row);
    }
    return packed_.data();
}

void PictureSink::close() noexcept {
    if (opened_) {
        output_.close();
    }
    opened_ = false;
    type_ = 0;
}

}  // namespace kinvo::in_av
