#include "plugins/enc_common/encoder_object.h"

#include <memory>
#include <string>

#include "plugins/enc_common/av_encoder.h"
#include "plugins/enc_common/file_patch.h"

namespace kinvo::enc {

namespace {

struct EncoderObject : SonariEncoder {
    std::unique_ptr<AvEncoder> encoder;
    int frameBytes = 0;
    bool finishing = false;  // PrepareToFinish came
    bool drained = false;    // the encoder's end and the trailer are in the sink
    bool failed = false;
};

int32_t handOut(EncoderObject& self, void* output, int32_t capacity) noexcept {
    if (output == nullptr || capacity <= 0) {
        return 0;
    }
    return static_cast<int32_t>(
        self.encoder->sink().take(static_cast<uint8_t*>(output), static_cast<size_t>(capacity)));
}

int32_t encode(SonariEncoder* base, int32_t /*framePosition*/, const void* input,
               int32_t inputBytes, int32_t* inputUsed, void* output,
               int32_t outputCapacity) noexcept {
    if (inputUsed != nullptr) {
        *inputUsed = 0;
    }
    if (base == nullptr) {
        return -1;
    }
    auto& self = static_cast<EncoderObject&>(*base);
    if (self.failed) {
        return -1;
    }
    try {
        if (self.encoder->sink().pendingBytes() > 0) {
            return handOut(self, output, outputCapacity);
        }
        const int32_t frames =
            input != nullptr && inputBytes > 0 ? inputBytes / self.frameBytes : 0;
        if (frames > 0) {
            if (!self.encoder->write(static_cast<const uint8_t*>(input),
                                     static_cast<size_t>(frames))) {
                self.failed = true;
                return -1;
            }
            if (inputUsed != nullptr) {
                *inputUsed = frames * self.frameBytes;
            }
            return handOut(self, output, outputCapacity);
        }
        if (self.finishing && !self.drained) {
            self.drained = true;
            if (!self.encoder->finish()) {
                self.failed = true;
                return -1;
            }
            return handOut(self, output, outputCapacity);
        }
        return 0;
    } catch (...) {
        self.failed = true;
        return -1;
    }
}

void destroy(SonariEncoder* base) noexcept {
    delete static_cast<EncoderObject*>(base);
}

constexpr SonariEncoderOps kOps = {&encode, &destroy};

}  // namespace

SonariEncoder* createEncoder(const EncoderSettings& settings, int32_t channels, int32_t sampleRate,
                             int32_t bitsPerSample, uint32_t inputType) noexcept {
    if (inputType != SONARI_TYPE_PCM) {
        return nullptr;
    }
    try {
        const PcmFormat format{channels, sampleRate, bitsPerSample};
        std::string error;
        auto encoder = AvEncoder::open(format, settings, error);
        if (!encoder) {
            return nullptr;
        }
        auto object = std::make_unique<EncoderObject>();
        object->ops = &kOps;
        object->encoder = std::move(encoder);
        object->frameBytes = format.frameBytes();
        return object.release();
    } catch (...) {
        return nullptr;
    }
}

void prepareToFinish(SonariEncoder* encoder) noexcept {
    if (encoder != nullptr) {
        static_cast<EncoderObject*>(encoder)->finishing = true;
    }
}

void finishAudio(const char* fileName, SonariEncoder* encoder) noexcept {
    if (fileName == nullptr || encoder == nullptr) {
        return;
    }
    const auto& self = static_cast<const EncoderObject&>(*encoder);
    try {
        applyPatches(fileName, self.encoder->sink().patches());
    } catch (...) {
    }
}

}  // namespace kinvo::enc
