#include "plugins/enc_common/av_encoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <array>

#include "lib/ffmpeg/error.h"

namespace kinvo::enc {

namespace {

constexpr int kIoBufferBytes = 32 * 1024;
constexpr int kVariableFrameSamples = 4096;

// The WAVE channel order for 1 to 8 channels, which is also the order Vorbis, Opus and FLAC use.
AVChannelLayout layoutFor(int channels) noexcept {
    static constexpr std::array<uint64_t, 8> kMasks = {
        AV_CH_LAYOUT_MONO,    AV_CH_LAYOUT_STEREO,       AV_CH_LAYOUT_SURROUND,
        AV_CH_LAYOUT_QUAD,    AV_CH_LAYOUT_5POINT0_BACK, AV_CH_LAYOUT_5POINT1_BACK,
        AV_CH_LAYOUT_6POINT1, AV_CH_LAYOUT_7POINT1};
    AVChannelLayout layout{};
    av_channel_layout_from_mask(&layout, kMasks[static_cast<size_t>(channels - 1)]);
    return layout;
}

AVSampleFormat inputFormat(int bits) noexcept {
    switch (bits) {
        case 8:
            return AV_SAMPLE_FMT_U8;
        case 16:
            return AV_SAMPLE_FMT_S16;
        default:
            return AV_SAMPLE_FMT_S32;  // 24-bit input is widened first
    }
}

bool offers(const AVSampleFormat* formats, AVSampleFormat wanted) noexcept {
    for (; formats != nullptr && *formats != AV_SAMPLE_FMT_NONE; ++formats) {
        if (*formats == wanted) {
            return true;
        }
    }
    return false;
}

// The encoder's sample format closest to the input's width: integers of at least its width first.
AVSampleFormat encoderFormat(const AVCodec& codec, int bits) noexcept {
    static constexpr std::array<AVSampleFormat, 6> kNarrow = {
        AV_SAMPLE_FMT_S16,  AV_SAMPLE_FMT_S16P, AV_SAMPLE_FMT_S32,
        AV_SAMPLE_FMT_S32P, AV_SAMPLE_FMT_FLT,  AV_SAMPLE_FMT_FLTP};
    static constexpr std::array<AVSampleFormat, 6> kWide = {AV_SAMPLE_FMT_S32, AV_SAMPLE_FMT_S32P,
                                                            AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_FLTP,
                                                            AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_S16P};
    for (AVSampleFormat format : bits <= 16 ? kNarrow : kWide) {
        if (offers(codec.sample_fmts, format)) {
            return format;
        }
    }
    return codec.sample_fmts != nullptr ? codec.sample_fmts[0] : AV_SAMPLE_FMT_S16;
}

// The input rate when the encoder takes it, else the lowest higher rate it takes, else its highest.
int encoderRate(const AVCodec& codec, int rate) noexcept {
    const int* rates = codec.supported_samplerates;
    if (rates == nullptr) {
        return rate;
    }
    int above = 0;
    int highest = 0;
    for (; *rates != 0; ++rates) {
        if (*rates == rate) {
            return rate;
        }
        if (*rates > rate && (above == 0 || *rates < above)) {
            above = *rates;
        }
        highest = std::max(highest, *rates);
    }
    return above != 0 ? above : highest;
}

}  // namespace

AvEncoder::~AvEncoder() = default;

std::unique_ptr<AvEncoder> AvEncoder::open(const PcmFormat& input, const EncoderSettings& settings,
                                           std::string& error) {
    const bool knownWidth = input.bitsPerSample == 8 || input.bitsPerSample == 16 ||
                            input.bitsPerSample == 24 || input.bitsPerSample == 32;
    if (!knownWidth || input.channels < 1 || input.channels > 8 || input.sampleRate <= 0) {
        error = "unsupported PCM format";
        return nullptr;
    }
    const AVCodec* codec = avcodec_find_encoder_by_name(settings.encoder);
    const AVOutputFormat* container = av_guess_format(settings.muxer, nullptr, nullptr);
    if (codec == nullptr || container == nullptr) {
        error = std::string("no encoder ") + settings.encoder;
        return nullptr;
    }
    std::unique_ptr<AvEncoder> self(new AvEncoder());
    self->input_ = input;
    self->codec_ = ffmpeg::makeCodecContext(codec);
    self->scratch_ = ffmpeg::makeFrame();
    self->packet_ = ffmpeg::makePacket();
    if (!self->codec_ || !self->scratch_ || !self->packet_) {
        error = "out of memory";
        return nullptr;
    }

    AVCodecContext& context = *self->codec_;
    context.sample_fmt = encoderFormat(*codec, input.bitsPerSample);
    if (context.sample_fmt == AV_SAMPLE_FMT_S32 || context.sample_fmt == AV_SAMPLE_FMT_S32P) {
        context.bits_per_raw_sample = std::min(input.bitsPerSample, 24);
    }
    context.sample_rate = settings.sampleRate.value_or(encoderRate(*codec, input.sampleRate));
    context.ch_layout = layoutFor(std::min(input.channels, settings.maxChannels));
    context.time_base = AVRational{1, context.sample_rate};
    if (settings.bitRate > 0) {
        context.bit_rate = settings.bitRate;
    }
    if (settings.quality) {
        context.flags |= AV_CODEC_FLAG_QSCALE;
        context.global_quality = static_cast<int>(*settings.quality * FF_QP2LAMBDA);
    }
    if (settings.compressionLevel) {
        context.compression_level = *settings.compressionLevel;
    }
    if ((container->flags & AVFMT_GLOBALHEADER) != 0) {
        context.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (const int code = avcodec_open2(&context, codec, nullptr); code < 0) {
        error = "cannot open the encoder: " + ffmpeg::errorText(code);
        return nullptr;
    }
    const bool variable = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) != 0;
    self->frameSize_ =
        context.frame_size > 0 && !variable ? context.frame_size : kVariableFrameSamples;

    // Resampler: the input's layout, width and rate to the encoder's.
    AVChannelLayout inputLayout = layoutFor(input.channels);
    SwrContext* resampler = nullptr;
    int code = swr_alloc_set_opts2(&resampler, &context.ch_layout, context.sample_fmt,
                                   context.sample_rate, &inputLayout,
                                   inputFormat(input.bitsPerSample), input.sampleRate, 0, nullptr);
    self->resampler_.reset(resampler);
    if (code >= 0) {
        code = swr_init(resampler);
    }
    if (code < 0) {
        error = "cannot convert the samples: " + ffmpeg::errorText(code);
        return nullptr;
    }
    self->queue_.reset(
        av_audio_fifo_alloc(context.sample_fmt, context.ch_layout.nb_channels, self->frameSize_));

    // Muxer writing into the sink.
    AVFormatContext* muxer = nullptr;
    avformat_alloc_output_context2(&muxer, container, nullptr, nullptr);
    self->muxer_.reset(muxer);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (buffer == nullptr || !self->queue_ || !muxer) {
        av_free(buffer);
        error = "out of memory";
        return nullptr;
    }
    self->io_.reset(avio_alloc_context(buffer, kIoBufferBytes, 1, self.get(), nullptr,
                                       &AvEncoder::writePacket, &AvEncoder::seekPacket));
    if (!self->io_) {
        av_free(buffer);
        error = "out of memory";
        return nullptr;
    }
    self->io_->seekable = AVIO_SEEKABLE_NORMAL;
    muxer->pb = self->io_.get();
    muxer->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVStream* stream = avformat_new_stream(muxer, nullptr);
    if (stream == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    stream->time_base = context.time_base;
    code = avcodec_parameters_from_context(stream->codecpar, &context);
    if (code >= 0) {
        code = avformat_write_header(muxer, nullptr);
    }
    if (code < 0) {
        error = "cannot start the file: " + ffmpeg::errorText(code);
        return nullptr;
    }
    avio_flush(muxer->pb);
    if (muxer->pb->error < 0) {
        error = "cannot start the file: " + ffmpeg::errorText(muxer->pb->error);
        return nullptr;
    }
    return self;
}

bool AvEncoder::write(const uint8_t* pcm, size_t frames) {
    const int count = static_cast<int>(frames);
    if (input_.bitsPerSample == 24) {
        // Packed 3-byte samples into the top of 32-bit ones.
        const size_t samples = frames * static_cast<size_t>(input_.channels);
        widened_.resize(samples);
        for (size_t i = 0; i < samples; ++i) {
            const uint8_t* p = pcm + i * 3;
            widened_[i] = static_cast<int32_t>((static_cast<uint32_t>(p[0]) << 8) |
                                               (static_cast<uint32_t>(p[1]) << 16) |
                                               (static_cast<uint32_t>(p[2]) << 24));
        }
        const auto* planes = reinterpret_cast<const uint8_t*>(widened_.data());
        return convert(&planes, count) && sendFrames(false);
    }
    return convert(&pcm, count) && sendFrames(false);
}

bool AvEncoder::finish() {
    if (!convert(nullptr, 0) || !sendFrames(true) || !sendFrame(nullptr)) {
        return false;
    }
    if (const int code = av_write_trailer(muxer_.get()); code < 0) {
        return false;
    }
    avio_flush(io_.get());
    return io_->error >= 0;
}

bool AvEncoder::convert(const uint8_t* const* planes, int frames) {
    // With no input the resampler gives what it still holds, in as many calls as it takes.
    do {
        const int room = swr_get_out_samples(resampler_.get(), frames);
        if (room < 0) {
            return false;
        }
        if (room == 0 && planes == nullptr) {
            return true;
        }
        if (scratch_->nb_samples < room || scratch_->data[0] == nullptr) {
            ffmpeg::Frame frame = ffmpeg::makeFrame();
            if (!frame) {
                throw std::bad_alloc();
            }
            frame->format = codec_->sample_fmt;
            frame->nb_samples = std::max(room, frameSize_);
            av_channel_layout_copy(&frame->ch_layout, &codec_->ch_layout);
            if (av_frame_get_buffer(frame.get(), 0) < 0) {
                throw std::bad_alloc();
            }
            scratch_ = std::move(frame);
        }
        const int made = swr_convert(resampler_.get(), scratch_->data, scratch_->nb_samples,
                                     const_cast<const uint8_t**>(planes), frames);
        if (made < 0) {
            return false;
        }
        if (made > 0 && av_audio_fifo_write(queue_.get(), reinterpret_cast<void**>(scratch_->data),
                                            made) < made) {
            throw std::bad_alloc();
        }
        if (planes == nullptr && made == 0) {
            return true;
        }
    } while (planes == nullptr);
    return true;
}

bool AvEncoder::sendFrames(bool all) {
    while (av_audio_fifo_size(queue_.get()) >= frameSize_ ||
           (all && av_audio_fifo_size(queue_.get()) > 0)) {
        const int count = std::min(frameSize_, av_audio_fifo_size(queue_.get()));
        ffmpeg::Frame frame = ffmpeg::makeFrame();
        if (!frame) {
            throw std::bad_alloc();
        }
        frame->format = codec_->sample_fmt;
        frame->nb_samples = count;
        frame->sample_rate = codec_->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &codec_->ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0) {
            throw std::bad_alloc();
        }
        if (av_audio_fifo_read(queue_.get(), reinterpret_cast<void**>(frame->data), count) <
            count) {
            return false;
        }
        frame->pts = nextPts_;
        nextPts_ += count;
        if (!sendFrame(frame.get())) {
            return false;
        }
    }
    avio_flush(io_.get());
    return io_->error >= 0;
}

bool AvEncoder::sendFrame(AVFrame* frame) {
    if (avcodec_send_frame(codec_.get(), frame) < 0) {
        return false;
    }
    AVStream* stream = muxer_->streams[0];
    for (;;) {
        const int code = avcodec_receive_packet(codec_.get(), packet_.get());
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) {
            return true;
        }
        if (code < 0) {
            return false;
        }
        av_packet_rescale_ts(packet_.get(), codec_->time_base, stream->time_base);
        packet_->stream_index = 0;
        if (av_interleaved_write_frame(muxer_.get(), packet_.get()) < 0) {
            return false;
        }
    }
}

int AvEncoder::writePacket(void* opaque, uint8_t* data, int size) noexcept {
    try {
        static_cast<AvEncoder*>(opaque)->sink_.write(data, static_cast<size_t>(size));
        return size;
    } catch (...) {
        return AVERROR(ENOMEM);
    }
}

int64_t AvEncoder::seekPacket(void* opaque, int64_t offset, int whence) noexcept {
    ByteSink& sink = static_cast<AvEncoder*>(opaque)->sink_;
    if ((whence & AVSEEK_SIZE) != 0) {
        return sink.size();
    }
    const int64_t position = sink.seek(offset, whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(EINVAL) : position;
}

}  // namespace kinvo::enc
