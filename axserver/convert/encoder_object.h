#pragma once
// Ownership of an encoder object (include/sonari/encoder.h): whichever made it, a library or the
// host's own WAV writer, the object frees itself through its destroy operation. Main thread
// (destroy comes after the conversion has ended).
#include <sonari/encoder.h>

#include <memory>

namespace vexa {

struct EncoderDestroy {
    void operator()(SonariEncoder* encoder) const noexcept {
        if (encoder != nullptr && encoder->ops != nullptr && encoder->ops->destroy != nullptr) {
            encoder->ops->destroy(encoder);
        }
    }
};

using EncoderObject = std::unique_ptr<SonariEncoder, EncoderDestroy>;

}  // namespace vexa
