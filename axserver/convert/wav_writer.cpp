#include "axserver/convert/wav_writer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vexa {

using kinvo::ffmpeg::PcmFormat;
using kinvo::ffmpeg::PcmResampler;

const SonariEncoderOps WavWriter::kOps = {
    [](SonariEncoder* self, int32_t, const void* input, int32_t inputBytes, int32_t* inputUsed,
       void* output, int32_t capacity) -> int32_t {
        return static_cast<WavWriter*>(self)->encode(static_cast<const uint8_t*>(input), inputBytes,
                                                     inputUsed, static_cast<uint8_t*>(output),
                                                     capacity);
    },
    [](SonariEncoder* self) { delete static_cast<WavWriter*>(self); },
};

EncoderObject WavWriter::make(const PcmFormat& source, const WavParameters& wanted) noexcept {
    const PcmFormat target{wanted.sampleRate, wanted.bitsPerSample, wanted.channels};
    std::optional<PcmResampler> resampler;
    if (wanted.sampleRate != 0 && target != source) {
        resampler = PcmResampler::make(source, target);
        if (!resampler) {
            return nullptr;
        }
    } else if (!kinvo::ffmpeg::resamplerTakes(source)) {
        return nullptr;
    }
    auto* writer = new (std::nothrow) WavWriter(source, std::move(resampler));
    if (writer == nullptr) {
        return nullptr;
    }
    writer->ops = &kOps;
    return EncoderObject(writer);
}

WavWriter* WavWriter::of(SonariEncoder* encoder) noexcept {
    return encoder != nullptr && encoder->ops == &kOps ? static_cast<WavWriter*>(encoder) : nullptr;
}

WavHeader WavWriter::header() const noexcept {
    if (resampler_) {
        return convertedHeader(resampler_->to(), kWavHeaderBytes + dataBytes_);
    }
    return passThroughHeader(source_, dataBytes_);
}

int32_t WavWriter::encode(const uint8_t* input, int32_t inputBytes, int32_t* inputUsed,
                          uint8_t* output, int32_t capacity) noexcept {
    *inputUsed = 0;
    int32_t written = 0;
    if (!headerReserved_) {
        if (capacity < kWavHeaderBytes) {
            return 0;
        }
        std::memset(output, 0, kWavHeaderBytes);
        written = kWavHeaderBytes;
        headerReserved_ = true;
    }
    const int32_t room = capacity - written;
    if (input == nullptr) {
        inputBytes = 0;
    }
    if (!resampler_) {
        const int32_t n = std::min(std::max(inputBytes, 0), room);
        if (n > 0) {
            std::memcpy(output + written, input, static_cast<size_t>(n));
        }
        *inputUsed = n;
        inputBytes_ += n;
        dataBytes_ += n;
        return written + n;
    }
    if (pendingAt_ == pending_.size()) {
        pending_.clear();
        pendingAt_ = 0;
        const int32_t frame = source_.frameBytes();
        int32_t take = std::min<int32_t>(std::max(inputBytes, 0), kConvertBlock);
        take -= take % frame;
        if (take > 0) {
            if (!resampler_->convert({input, static_cast<size_t>(take)}, pending_)) {
                return -1;
            }
            *inputUsed = take;
            inputBytes_ += take;
        } else if (draining_ && !flushed_) {
            flushed_ = true;
            if (!resampler_->flush(pending_)) {
                return -1;
            }
        }
    }
    const size_t n = std::min(pending_.size() - pendingAt_, static_cast<size_t>(room));
    if (n > 0) {
        std::memcpy(output + written, pending_.data() + pendingAt_, n);
        pendingAt_ += n;
        dataBytes_ += static_cast<int64_t>(n);
    }
    return written + static_cast<int32_t>(n);
}

}  // namespace vexa
