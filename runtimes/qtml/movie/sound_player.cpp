#include "runtimes/qtml/movie/sound_player.h"

#include <algorithm>
#include <cstring>

namespace kinvo::qtml {
namespace {

pa_cvolume volumeOf(int volume, int channels) {
    pa_cvolume levels;
    const double linear = std::clamp(volume, 0, 256) / 256.0;
    pa_cvolume_set(&levels, static_cast<unsigned>(channels), pa_sw_volume_from_linear(linear));
    return levels;
}

pulse::Clock::time_point deadline(std::chrono::milliseconds limit) {
    return pulse::Clock::now() + limit;
}

}  // namespace

std::unique_ptr<SoundPlayer> SoundPlayer::open(const AVStream& stream, int volume) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (codec == nullptr) {
        return nullptr;
    }
    std::unique_ptr<SoundPlayer> player(new SoundPlayer);
    player->stream_ = &stream;
    player->codec_ = ffmpeg::makeCodecContext(codec);
    player->frame_ = ffmpeg::makeFrame();
    if (!player->codec_ || !player->frame_ ||
        avcodec_parameters_to_context(player->codec_.get(), stream.codecpar) < 0) {
        return nullptr;
    }
    player->codec_->pkt_timebase = stream.time_base;
    if (avcodec_open2(player->codec_.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    player->rate_ = player->codec_->sample_rate;
    player->channels_ = std::min(player->codec_->ch_layout.nb_channels, 2);
    if (player->rate_ <= 0 || player->channels_ <= 0) {
        return nullptr;
    }
    pulse::StreamSettings settings;
    settings.clientName = "Kinvo movie";
    settings.streamName = "Movie";
    settings.sample = {PA_SAMPLE_S16LE, static_cast<uint32_t>(player->rate_),
                       static_cast<uint8_t>(player->channels_)};
    const uint32_t bytesPerMs = static_cast<uint32_t>(player->rate_ * player->channels_ * 2 / 1000);
    settings.buffer.maxlength = static_cast<uint32_t>(-1);
    settings.buffer.tlength = bytesPerMs * kBufferMs;
    settings.buffer.prebuf = static_cast<uint32_t>(-1);
    settings.buffer.minreq = static_cast<uint32_t>(-1);
    settings.buffer.fragsize = static_cast<uint32_t>(-1);
    settings.volume = volumeOf(volume, player->channels_);
    if (player->output_.open(settings, deadline(kConnectLimit)) != pulse::Status::Ok) {
        return nullptr;
    }
    return player;
}

void SoundPlayer::pump() {
    while (output_.isGood()) {
        if (pcmOffset_ == pcm_.size()) {
            pcm_.clear();
            pcmOffset_ = 0;
            decodeNext();
            if (pcm_.empty()) {
                break;
            }
        }
        const size_t writable = std::min(output_.writableBytes(), pcm_.size() - pcmOffset_);
        const size_t frameBytes = static_cast<size_t>(channels_) * 2;
        const size_t bytes = writable - writable % frameBytes;
        if (bytes == 0) {
            return;
        }
        if (output_.write(pcm_.data() + pcmOffset_, bytes) != pulse::Status::Ok) {
            return;
        }
        pcmOffset_ += bytes;
        writtenFrames_ += static_cast<int64_t>(bytes / frameBytes);
    }
    if (inputEnded_ && drainSent_ && !triggered_ && output_.isGood()) {
        output_.trigger();  // the tail shorter than the prebuffer plays too
        triggered_ = true;
    }
}

void SoundPlayer::decodeNext() {
    while (pcm_.empty()) {
        const int code = avcodec_receive_frame(codec_.get(), frame_.get());
        if (code == 0) {
            convert(*frame_);
            av_frame_unref(frame_.get());
        } else if (code == AVERROR_EOF) {
            return;
        } else if (!backlog_.empty()) {
            avcodec_send_packet(codec_.get(), backlog_.front());  // a refused packet is skipped
            backlog_.pop();
        } else if (inputEnded_ && !drainSent_) {
            avcodec_send_packet(codec_.get(), nullptr);
            drainSent_ = true;
        } else {
            return;
        }
    }
}

void SoundPlayer::convert(const AVFrame& frame) {
    if (!resampler_) {
        AVChannelLayout out;
        av_channel_layout_default(&out, channels_);
        SwrContext* made = nullptr;
        // This FFmpeg takes the input layout by a non-const pointer; it only reads it.
        const int code = swr_alloc_set_opts2(
            &made, &out, AV_SAMPLE_FMT_S16, rate_, const_cast<AVChannelLayout*>(&frame.ch_layout),
            static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
        resampler_.reset(made);
        if (code < 0 || swr_init(resampler_.get()) < 0) {
            resampler_.reset();
            return;
        }
    }
    int64_t frameMs = startMs_;
    if (frame.best_effort_timestamp != AV_NOPTS_VALUE) {
        const int64_t start = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
        frameMs = av_rescale_q(frame.best_effort_timestamp - start, stream_->time_base, {1, 1000});
    }
    const int capacity = swr_get_out_samples(resampler_.get(), frame.nb_samples);
    if (capacity <= 0) {
        return;
    }
    const size_t frameBytes = static_cast<size_t>(channels_) * 2;
    pcm_.resize(static_cast<size_t>(capacity) * frameBytes);
    uint8_t* out[1] = {pcm_.data()};
    const int made =
        swr_convert(resampler_.get(), out, capacity,
                    const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
    pcm_.resize(static_cast<size_t>(std::max(made, 0)) * frameBytes);
    if (skipBeforeMs_ >= 0) {
        // Samples before the seek's target are dropped; the first kept one is the new start.
        const int64_t skipFrames = av_rescale(skipBeforeMs_ - frameMs, rate_, 1000);
        const size_t skipBytes = std::min(
            pcm_.size(), static_cast<size_t>(std::max<int64_t>(skipFrames, 0)) * frameBytes);
        pcm_.erase(pcm_.begin(), pcm_.begin() + static_cast<std::ptrdiff_t>(skipBytes));
        if (!pcm_.empty()) {
            startMs_ = std::max(frameMs, skipBeforeMs_);
            skipBeforeMs_ = -1;
        }
    }
}

bool SoundPlayer::finished() const {
    if (!output_.isGood()) {
        return true;
    }
    return inputEnded_ && drainSent_ && backlog_.empty() && pcmOffset_ == pcm_.size() &&
           output_.latencyUs() == 0;
}

std::optional<int64_t> SoundPlayer::playedMs() const {
    const std::optional<int64_t> latencyUs = output_.latencyUs();
    if (!latencyUs || rate_ <= 0) {
        return std::nullopt;
    }
    const int64_t writtenMs = writtenFrames_ * 1000 / rate_;
    return startMs_ + std::max<int64_t>(0, writtenMs - *latencyUs / 1000);
}

void SoundPlayer::setPaused(bool paused) {
    output_.cork(paused, deadline(std::chrono::milliseconds(500)));
}

void SoundPlayer::setVolume(int volume) {
    output_.setVolume(volumeOf(volume, channels_));
}

void SoundPlayer::restart(int64_t ms) {
    output_.flush(deadline(std::chrono::milliseconds(500)));
    backlog_.clear();
    avcodec_flush_buffers(codec_.get());
    pcm_.clear();
    pcmOffset_ = 0;
    startMs_ = ms;
    writtenFrames_ = 0;
    skipBeforeMs_ = ms;
    inputEnded_ = false;
    drainSent_ = false;
    triggered_ = false;
}

}  // namespace kinvo::qtml
