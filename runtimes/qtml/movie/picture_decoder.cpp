#include "runtimes/qtml/movie/picture_decoder.h"

#include <algorithm>

namespace kinvo::qtml {

std::unique_ptr<PictureDecoder> PictureDecoder::open(const AVStream& stream,
                                                     int64_t startTimestamp) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (codec == nullptr) {
        return nullptr;
    }
    std::unique_ptr<PictureDecoder> decoder(new PictureDecoder);
    decoder->stream_ = &stream;
    decoder->startTimestamp_ = startTimestamp;
    decoder->codec_ = ffmpeg::makeCodecContext(codec);
    decoder->frame_ = ffmpeg::makeFrame();
    if (!decoder->codec_ || !decoder->frame_ ||
        avcodec_parameters_to_context(decoder->codec_.get(), stream.codecpar) < 0) {
        return nullptr;
    }
    decoder->codec_->pkt_timebase = stream.time_base;
    if (avcodec_open2(decoder->codec_.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    const AVRational rate = stream.avg_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        decoder->frameMs_ = std::max<int64_t>(1, av_rescale(1000, rate.den, rate.num));
    }
    return decoder;
}

bool PictureDecoder::ready() {
    while (!hasPicture_ && !drained_) {
        const int code = avcodec_receive_frame(codec_.get(), frame_.get());
        if (code == 0) {
            pictureMs_ = toMs(frame_->best_effort_timestamp);
            if (skipBeforeMs_ >= 0 && pictureMs_ + frameMs_ <= skipBeforeMs_) {
                av_frame_unref(frame_.get());
                continue;
            }
            skipBeforeMs_ = -1;
            hasPicture_ = true;
        } else if (code == AVERROR_EOF) {
            drained_ = true;
        } else if (!backlog_.empty()) {
            avcodec_send_packet(codec_.get(), backlog_.front());  // a refused packet is skipped
            backlog_.pop();
        } else if (inputEnded_ && !drainSent_) {
            avcodec_send_packet(codec_.get(), nullptr);
            drainSent_ = true;
        } else {
            return false;
        }
    }
    return hasPicture_;
}

void PictureDecoder::pop() noexcept {
    av_frame_unref(frame_.get());
    hasPicture_ = false;
}

void PictureDecoder::restart(int64_t ms) {
    pop();
    backlog_.clear();
    avcodec_flush_buffers(codec_.get());
    skipBeforeMs_ = ms;
    inputEnded_ = false;
    drainSent_ = false;
    drained_ = false;
}

int64_t PictureDecoder::toMs(int64_t timestamp) const noexcept {
    if (timestamp == AV_NOPTS_VALUE) {
        return 0;
    }
    return av_rescale_q(timestamp - startTimestamp_, stream_->time_base, {1, 1000});
}

}  // namespace kinvo::qtml
