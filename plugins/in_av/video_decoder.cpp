#include "plugins/in_av/video_decoder.h"

#include <algorithm>
#include <new>
#include <utility>

namespace kinvo::in_av {

std::unique_ptr<VideoDecoder> VideoDecoder::open(const AVFormatContext& format,
                                                 const AVStream& stream) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (codec == nullptr) {
        return nullptr;
    }
    std::unique_ptr<VideoDecoder> decoder(new VideoDecoder);
    decoder->format_ = &format;
    decoder->stream_ = &stream;
    decoder->codec_ = ffmpeg::makeCodecContext(codec);
    if (!decoder->codec_ ||
        avcodec_parameters_to_context(decoder->codec_.get(), stream.codecpar) < 0) {
        return nullptr;
    }
    decoder->codec_->pkt_timebase = stream.time_base;
    decoder->codec_->thread_count = 0;  // as many as the machine has
    if (avcodec_open2(decoder->codec_.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    decoder->queue_.resize(kMaxQueued);
    for (ffmpeg::Frame& frame : decoder->queue_) {
        frame = ffmpeg::makeFrame();
        if (!frame) {
            return nullptr;
        }
    }
    decoder->startTimestamp_ = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    const AVRational rate = stream.avg_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        decoder->defaultDurationMs_ = std::max<int64_t>(1, av_rescale(1000, rate.den, rate.num));
    }
    return decoder;
}

void VideoDecoder::push(AVPacket& packet) {
    ffmpeg::Packet kept;
    if (!spare_.empty()) {
        kept = std::move(spare_.back());
        spare_.pop_back();
    } else {
        kept = ffmpeg::makePacket();
        if (!kept) {
            throw std::bad_alloc();
        }
    }
    av_packet_move_ref(kept.get(), &packet);
    backlog_.push_back(std::move(kept));
}

void VideoDecoder::decode() {
    while (count_ < kMaxQueued && !drained_) {
        if (receive()) {
            continue;
        }
        if (!backlog_.empty()) {
            ffmpeg::Packet& packet = backlog_.front();
            if (avcodec_send_packet(codec_.get(), packet.get()) == AVERROR(EAGAIN)) {
                return;  // the decoder is full: its pictures go first
            }
            av_packet_unref(packet.get());  // a refused packet is skipped
            spare_.push_back(std::move(packet));
            backlog_.pop_front();
        } else if (inputEnded_ && !drainSent_) {
            avcodec_send_packet(codec_.get(), nullptr);
            drainSent_ = true;
        } else {
            return;
        }
    }
}

bool VideoDecoder::receive() noexcept {
    AVFrame* frame = queue_[(head_ + count_) % kMaxQueued].get();
    const int code = avcodec_receive_frame(codec_.get(), frame);
    if (code == AVERROR_EOF) {
        drained_ = true;
        return false;
    }
    if (code < 0) {
        return false;
    }
    if (skipBeforeMs_ >= 0) {
        const int64_t ms = toMs(frame->best_effort_timestamp);
        if (ms + defaultDurationMs_ <= skipBeforeMs_) {
            av_frame_unref(frame);
            return true;  // before the seek's target: the next one
        }
        skipBeforeMs_ = -1;
    }
    ++count_;
    return true;
}

int64_t VideoDecoder::toMs(int64_t timestamp) const noexcept {
    if (timestamp == AV_NOPTS_VALUE) {
        return 0;
    }
    return av_rescale_q(timestamp - startTimestamp_, stream_->time_base, {1, 1000});
}

int64_t VideoDecoder::frontMs() const noexcept {
    return count_ > 0 ? toMs(queue_[head_]->best_effort_timestamp) : 0;
}

void VideoDecoder::pop() noexcept {
    if (count_ == 0) {
        return;
    }
    av_frame_unref(queue_[head_].get());
    head_ = (head_ + 1) % kMaxQueued;
    --count_;
}

void VideoDecoder::restart(int64_t ms) noexcept {
    while (count_ > 0) {
        pop();
    }
    backlog_.clear();
    avcodec_flush_buffers(codec_.get());
    skipBeforeMs_ = ms;
    inputEnded_ = false;
    drainSent_ = false;
    drained_ = false;
}

double VideoDecoder::aspect(const AVFrame& frame) const noexcept {
    const AVRational sample =
        av_guess_sample_aspect_ratio(const_cast<AVFormatContext*>(format_),
                                     const_cast<AVStream*>(stream_), const_cast<AVFrame*>(&frame));
    if (sample.num <= 0 || sample.den <= 0) {
        return 1.0;
    }
    return static_cast<double>(sample.den) / sample.num;
}

}  // namespace kinvo::in_av
