#include "plugins/in_av/source.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <initializer_list>

#include "lib/ffmpeg/error.h"

namespace kinvo::in_av {

namespace {

// A network read that waits this long for data fails (and the stream reconnects).
constexpr const char* kReadTimeoutMicroseconds = "10000000";

// Subtitles whose decoder gives text (picture subtitles are not shown).
bool isTextSubtitle(AVCodecID id) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
    return descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_TEXT_SUB) != 0;
}

}  // namespace

std::unique_ptr<Source> Source::open(const std::string& url, const AVIOInterruptCB* interrupt,
                                     bool network, std::string& error, ChannelPolicy channels) {
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    if (interrupt != nullptr) {
        raw->interrupt_callback = *interrupt;
    }
    AVDictionary* options = nullptr;
    if (network) {
        av_dict_set(&options, "rw_timeout", kReadTimeoutMicroseconds, 0);
        av_dict_set(&options, "icy", "1", 0);
    }
    int code = avformat_open_input(&raw, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (code < 0) {  // avformat_open_input freed the context
        error = ffmpeg::errorText(code);
        return nullptr;
    }
    std::unique_ptr<Source> source(new Source);
    source->format_.reset(raw);
    source->channelPolicy_ = channels;
    AVFormatContext* format = raw;
    if ((code = avformat_find_stream_info(format, nullptr)) < 0) {
        error = ffmpeg::errorText(code);
        return nullptr;
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (source->streamIndex_ < 0 && type == AVMEDIA_TYPE_AUDIO) {
            source->streamIndex_ = static_cast<int>(i);
        } else if (source->videoIndex_ < 0 && type == AVMEDIA_TYPE_VIDEO &&
                   (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
            source->videoIndex_ = static_cast<int>(i);
        } else if (source->subtitleIndex_ < 0 && type == AVMEDIA_TYPE_SUBTITLE &&
                   isTextSubtitle(stream->codecpar->codec_id)) {
            source->subtitleIndex_ = static_cast<int>(i);
        } else {
            format->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    if (source->streamIndex_ < 0 && source->videoIndex_ < 0) {
        error = "no audio or video stream";
        return nullptr;
    }
    if (source->streamIndex_ >= 0 && !source->openAudio(error)) {
        return nullptr;
    }
    const AVStream* stream =
        format->streams[source->streamIndex_ >= 0 ? source->streamIndex_ : source->videoIndex_];
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
        source->lengthMs_ = static_cast<int32_t>(format->duration / (AV_TIME_BASE / 1000));
    } else if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        source->lengthMs_ =
            static_cast<int32_t>(av_rescale_q(stream->duration, stream->time_base, {1, 1000}));
    }
    source->timeBase_ = stream->time_base;
    const int64_t bitrate =
        stream->codecpar->bit_rate > 0 ? stream->codecpar->bit_rate : format->bit_rate;
    source->bitrateKbps_ = bitrate > 0 ? static_cast<int32_t>(bitrate / 1000) : 0;
    return source;
}

bool Source::openAudio(std::string& error) {
    const AVStream* stream = format_->streams[streamIndex_];
    const AVCodecParameters* parameters = stream->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (decoder == nullptr) {
        error = "no decoder";
        return false;
    }
    codec_ = ffmpeg::makeCodecContext(decoder);
    frame_ = ffmpeg::makeFrame();
    if (!codec_ || !frame_) {
        error = "out of memory";
        return false;
    }
    codec_->pkt_timebase = stream->time_base;
    int code = 0;
    if ((code = avcodec_parameters_to_context(codec_.get(), parameters)) < 0 ||
        (code = avcodec_open2(codec_.get(), decoder, nullptr)) < 0) {
        error = ffmpeg::errorText(code);
        return false;
    }
    sampleRate_ = parameters->sample_rate;
    const int streamChannels = parameters->ch_layout.nb_channels;
    channels_ =
        channelPolicy_ == ChannelPolicy::kKeepAll ? streamChannels : (streamChannels == 1 ? 1 : 2);
    if (sampleRate_ <= 0) {
        error = "no sample rate";
        return false;
    }
    if (channels_ <= 0) {
        error = "no channels";
        return false;
    }
    return true;
}

void Source::keepSoundOnly() noexcept {
    for (int* index : {&videoIndex_, &subtitleIndex_}) {
        if (*index >= 0) {
            format_->streams[*index]->discard = AVDISCARD_ALL;
            *index = -1;
        }
    }
}

int Source::read(ffmpeg::Packet& packet) noexcept {
    if (!packet) {
        packet = ffmpeg::makePacket();
        if (!packet) {
            return AVERROR(ENOMEM);
        }
    }
    for (;;) {
        av_packet_unref(packet.get());
        const int code = av_read_frame(format_.get(), packet.get());
        if (code < 0 || packet->stream_index == streamIndex_ ||
            packet->stream_index == videoIndex_ || packet->stream_index == subtitleIndex_) {
            return code;
        }
    }
}

int64_t Source::durationMs(const AVPacket& packet) const noexcept {
    return packet.duration > 0 ? av_rescale_q(packet.duration, timeBase_, {1, 1000}) : 0;
}

void Source::decode(const AVPacket* packet, std::vector<char>& pcm) {
    int code = avcodec_send_packet(codec_.get(), packet);
    if (code == AVERROR(EAGAIN)) {
        receiveFrames(pcm);
        code = avcodec_send_packet(codec_.get(), packet);
    }
    // A packet the decoder refuses is skipped; what it already holds is still taken out.
    receiveFrames(pcm);
    if (packet == nullptr && resampler_) {
        convert(*frame_, pcm);  // an empty frame: what the resampler still holds
    }
}

void Source::receiveFrames(std::vector<char>& pcm) {
    while (avcodec_receive_frame(codec_.get(), frame_.get()) == 0) {
        convert(*frame_, pcm);
        av_frame_unref(frame_.get());
    }
}

bool Source::configureResampler(const AVFrame& frame) noexcept {
    AVChannelLayout in{};
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&in, frame.ch_layout.nb_channels);
    } else if (av_channel_layout_copy(&in, &frame.ch_layout) < 0) {
        return false;
    }
    AVChannelLayout out{};
    // Kept channels keep their layout, so that the resampler does not mix them.
    if (channelPolicy_ == ChannelPolicy::kKeepAll && in.nb_channels == channels_) {
        if (av_channel_layout_copy(&out, &in) < 0) {
            av_channel_layout_uninit(&in);
            return false;
        }
    } else {
        av_channel_layout_default(&out, channels_);
    }
    SwrContext* raw = nullptr;
    int code = swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_S16, sampleRate_, &in,
                                   static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0,
                                   nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    ffmpeg::Resampler resampler(raw);
    if (code < 0 || swr_init(resampler.get()) < 0) {
        return false;
    }
    resampler_ = std::move(resampler);
    inFormat_ = frame.format;
    inRate_ = frame.sample_rate;
    inChannels_ = frame.ch_layout.nb_channels;
    inMask_ = frame.ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame.ch_layout.u.mask : 0;
    return true;
}

void Source::convert(const AVFrame& frame, std::vector<char>& pcm) {
    const bool drain = frame.nb_samples == 0;
    if (!drain) {
        const uint64_t mask =
            frame.ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame.ch_layout.u.mask : 0;
        if (!resampler_ || frame.format != inFormat_ || frame.sample_rate != inRate_ ||
            frame.ch_layout.nb_channels != inChannels_ || mask != inMask_) {
            if (!configureResampler(frame)) {
                return;
            }
        }
    }
    const int capacity = swr_get_out_samples(resampler_.get(), drain ? 0 : frame.nb_samples);
    if (capacity <= 0) {
        return;
    }
    const size_t frameBytes = static_cast<size_t>(channels_) * 2;
    const size_t start = pcm.size();
    pcm.resize(start + static_cast<size_t>(capacity) * frameBytes);
    auto* out = reinterpret_cast<uint8_t*>(pcm.data() + start);
    const int made = swr_convert(resampler_.get(), &out, capacity,
                                 drain ? nullptr : const_cast<const uint8_t**>(frame.extended_data),
                                 drain ? 0 : frame.nb_samples);
    size_t kept = made > 0 ? static_cast<size_t>(made) : 0;
    size_t dropped = 0;
    if (dropBeforeMs_ >= 0 && kept > 0) {
        const int64_t pts = frame.best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE && !drain) {
            const int64_t startMs = av_rescale_q(pts, timeBase_, {1, 1000});
            const int64_t early = (dropBeforeMs_ - startMs) * sampleRate_ / 1000;
            dropped =
                static_cast<size_t>(std::clamp<int64_t>(early, 0, static_cast<int64_t>(kept)));
        }
        if (dropped < kept) {
            dropBeforeMs_ = -1;
        }
    }
    if (dropped > 0) {
        pcm.erase(pcm.begin() + static_cast<std::ptrdiff_t>(start),
                  pcm.begin() + static_cast<std::ptrdiff_t>(start + dropped * frameBytes));
        kept -= dropped;
    }
    pcm.resize(start + kept * frameBytes);
}

bool Source::seek(int64_t ms) noexcept {
    const int64_t target = ms * (AV_TIME_BASE / 1000);
    int code = avformat_seek_file(format_.get(), -1, INT64_MIN, target, target, 0);
    if (code < 0) {
        code = av_seek_frame(format_.get(), -1, target, AVSEEK_FLAG_BACKWARD);
    }
    if (codec_) {
        avcodec_flush_buffers(codec_.get());
    }
    resampler_.reset();
    if (code < 0) {
        return false;
    }
    dropBeforeMs_ = ms;
    return true;
}

std::string Source::streamTitle() const {
    if (format_->pb == nullptr) {
        return {};
    }
    uint8_t* value = nullptr;
    if (av_opt_get(format_->pb, "icy_metadata_packet", AV_OPT_SEARCH_CHILDREN, &value) < 0 ||
        value == nullptr) {
        return {};
    }
    const std::string packet(reinterpret_cast<const char*>(value));
    av_free(value);
    static constexpr std::string_view kKey = "StreamTitle='";
    const size_t begin = packet.find(kKey);
    if (begin == std::string::npos) {
        return {};
    }
    const size_t from = begin + kKey.size();
    const size_t end = packet.find("';", from);
    return packet.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

}  // namespace kinvo::in_av
