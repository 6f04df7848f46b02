#include "lib/ffmpeg/pcm_resampler.h"

#include <cstring>
#include <limits>
#include <new>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace kinvo::ffmpeg {

namespace {

AVSampleFormat sampleFormat(int32_t bits) noexcept {
    switch (bits) {
        case 8:
            return AV_SAMPLE_FMT_U8;
        case 16:
            return AV_SAMPLE_FMT_S16;
        case 24:
        case 32:
            return AV_SAMPLE_FMT_S32;
        default:
            return AV_SAMPLE_FMT_NONE;
    }
}

// Bytes of one frame as libswresample sees it (24-bit as 32).
int innerFrameBytes(const PcmFormat& format) noexcept {
    return (format.bitsPerSample == 24 ? 4 : format.bitsPerSample / 8) * format.channels;
}

void widen24(const uint8_t* in, size_t samples, uint8_t* out) noexcept {
    for (size_t i = 0; i < samples; ++i) {
        out[4 * i] = 0;
        out[4 * i + 1] = in[3 * i];
        out[4 * i + 2] = in[3 * i + 1];
        out[4 * i + 3] = in[3 * i + 2];
    }
}

void narrow24(const uint8_t* in, size_t samples, uint8_t* out) noexcept {
    for (size_t i = 0; i < samples; ++i) {
        out[3 * i] = in[4 * i + 1];
        out[3 * i + 1] = in[4 * i + 2];
        out[3 * i + 2] = in[4 * i + 3];
    }
}

}  // namespace

bool resamplerTakes(const PcmFormat& format) noexcept {
    return format.sampleRate >= 1 && format.sampleRate <= 768000 && format.channels >= 1 &&
           format.channels <= 32 && sampleFormat(format.bitsPerSample) != AV_SAMPLE_FMT_NONE;
}

std::optional<PcmResampler> PcmResampler::make(const PcmFormat& from,
                                               const PcmFormat& to) noexcept {
    if (!resamplerTakes(from) || !resamplerTakes(to)) {
        return std::nullopt;
    }
    AVChannelLayout inLayout{};
    AVChannelLayout outLayout{};
    av_channel_layout_default(&inLayout, from.channels);
    av_channel_layout_default(&outLayout, to.channels);
    SwrContext* raw = nullptr;
    int error = swr_alloc_set_opts2(&raw, &outLayout, sampleFormat(to.bitsPerSample), to.sampleRate,
                                    &inLayout, sampleFormat(from.bitsPerSample), from.sampleRate, 0,
                                    nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    Resampler context(raw);
    if (error < 0 || !context || swr_init(context.get()) < 0) {
        return std::nullopt;
    }
    return PcmResampler(std::move(context), from, to);
}

bool PcmResampler::convert(std::span<const uint8_t> input, std::vector<uint8_t>& output) noexcept {
    const int frameBytes = from_.frameBytes();
    const size_t frames = input.size() / static_cast<size_t>(frameBytes);
    if (frames == 0) {
        return true;
    }
    if (frames > static_cast<size_t>(std::numeric_limits<int>::max() / 4 / from_.channels)) {
        return false;
    }
    const uint8_t* data = input.data();
    try {
        if (from_.bitsPerSample == 24) {
            const size_t samples = frames * static_cast<size_t>(from_.channels);
            wideIn_.resize(samples * 4);
            widen24(data, samples, wideIn_.data());
            data = wideIn_.data();
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return run(data, static_cast<int>(frames), output);
}

bool PcmResampler::flush(std::vector<uint8_t>& output) noexcept {
    return run(nullptr, 0, output);
}

bool PcmResampler::run(const uint8_t* input, int inFrames, std::vector<uint8_t>& output) noexcept {
    const int room = swr_get_out_samples(context_.get(), inFrames);
    if (room < 0) {
        return false;
    }
    if (room == 0 && inFrames == 0) {
        return true;
    }
    const size_t innerBytes = static_cast<size_t>(innerFrameBytes(to_));
    try {
        wideOut_.resize(static_cast<size_t>(room) * innerBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint8_t* out = wideOut_.data();
    const int made =
        swr_convert(context_.get(), &out, room, input != nullptr ? &input : nullptr, inFrames);
    if (made < 0) {
        return false;
    }
    try {
        const size_t oldSize = output.size();
        const size_t samples = static_cast<size_t>(made) * static_cast<size_t>(to_.channels);
        if (to_.bitsPerSample == 24) {
            output.resize(oldSize + samples * 3);
            narrow24(wideOut_.data(), samples, output.data() + oldSize);
        } else {
            output.resize(oldSize + static_cast<size_t>(made) * innerBytes);
            std::memcpy(output.data() + oldSize, wideOut_.data(),
                        static_cast<size_t>(made) * innerBytes);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace kinvo::ffmpeg
