#pragma once
// Owners of FFmpeg's handles: an opened input (format context), a decoder (codec context), a
// packet, a frame, a resampler and a picture scaler. Each is a move-only std::unique_ptr that frees
// its handle once, when it goes; none throws. The make* functions answer an empty owner when FFmpeg
// cannot allocate. A handle belongs to one thread at a time.
//
// Error policy of lib/ffmpeg: nothing throws; allocation failures give empty owners and FFmpeg's
// own AVERROR codes reach the callers unchanged (error.h turns them into text).

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace kinvo::ffmpeg {

struct FormatContextClose {
    void operator()(AVFormatContext* context) const noexcept { avformat_close_input(&context); }
};
struct CodecContextFree {
    void operator()(AVCodecContext* context) const noexcept { avcodec_free_context(&context); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const noexcept { av_packet_free(&packet); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const noexcept { av_frame_free(&frame); }
};
struct ResamplerFree {
    void operator()(SwrContext* resampler) const noexcept { swr_free(&resampler); }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const noexcept { sws_freeContext(scaler); }
};

// An input opened with avformat_open_input (closed with avformat_close_input).
using FormatContext = std::unique_ptr<AVFormatContext, FormatContextClose>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Resampler = std::unique_ptr<SwrContext, ResamplerFree>;
using Scaler = std::unique_ptr<SwsContext, ScalerFree>;

inline Packet makePacket() noexcept {
    return Packet(av_packet_alloc());
}
inline Frame makeFrame() noexcept {
    return Frame(av_frame_alloc());
}
inline CodecContext makeCodecContext(const AVCodec* codec) noexcept {
    return CodecContext(avcodec_alloc_context3(codec));
}

}  // namespace kinvo::ffmpeg
