#pragma once
// Hands decoded pictures to the host's video output in a layout it takes, without a copy where
// the decoder's own layout is one: yuv420p and yuvj420p as "YV12" (their planes through a
// plane table), yuyv422 as "YUY2", uyvy422 as "UYVY", bgr0 and bgra as "RG32", bgr24 as "RG24"
// (packed rows are copied only when the decoder pads them); every other format is converted
// with libswscale to yuv420p into a frame kept for the stream, and handed as "YV12".
//
// The output is opened at the first picture and again whenever the size, the pixel format or
// the aspect changes, so a picture never reaches it at a size it was not opened for; pictures
// of zero or negative size are never drawn. An open answering 1 (no renderer for the type) is
// not an error: the pictures keep coming, and the output tries the open again at each one.
//
// Threads: draw on the decode thread; close on the main thread after the decode thread ended.
// Error policy: draw answers false when nothing was handed over; close never fails; nothing
// throws except std::bad_alloc from the row copy.

#include <sonari/video_output.h>

#include <cstdint>
#include <vector>

#include "lib/ffmpeg/handles.h"

namespace kinvo::in_av {

class PictureSink {
  public:
    explicit PictureSink(SonariVideoOutput& output) noexcept : output_(output) {}
    PictureSink(const PictureSink&) = delete;
    PictureSink& operator=(const PictureSink&) = delete;

    // Draws `frame`, whose pixel aspect is `aspect` (VideoDecoder::aspect); opens first when
    // needed.
    bool draw(const AVFrame& frame, double aspect);
    // Closes the output when it was opened.
    void close() noexcept;

    // The type of the last open (0: not opened).
    uint32_t openType() const noexcept { return type_; }

  private:
    bool prepare(const AVFrame& frame, double aspect) noexcept;
    const void* layout(const AVFrame& frame);

    SonariVideoOutput& output_;
    // What the output was opened for (type_ 0: not opened).
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    double aspect_ = 0;
    uint32_t type_ = 0;
    bool opened_ = false;  // open was called since the last close
    // The conversion of formats the output does not take, and its picture.
    ffmpeg::Scaler scaler_;
    ffmpeg::Frame converted_;
    std::vector<uint8_t> packed_;  // packed rows without the decoder's padding
    SonariPlaneTable planes_{};
};

}  // namespace kinvo::in_av
