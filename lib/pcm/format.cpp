#include "lib/pcm/format.h"

namespace kinvo::pcm {

bool isValid(const Format& format) {
    const bool bitsOk =
        format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32;
    return bitsOk && format.rate >= 1 && format.rate <= 768000 && format.channels >= 1 &&
           format.channels <= 32;
}

int64_t framesToMs(int64_t frames, int32_t rate) {
    return frames * 1000 / rate;
}

int64_t msToFrames(int64_t ms, int32_t rate) {
    return ms * rate / 1000;
}

int64_t bytesToFrames(int64_t bytes, const Format& format) {
    return bytes / bytesPerFrame(format);
}

int64_t framesToBytes(int64_t frames, const Format& format) {
    return frames * bytesPerFrame(format);
}

int64_t bytesToMs(int64_t bytes, const Format& format) {
    return framesToMs(bytesToFrames(bytes, format), format.rate);
}

int64_t msToBytes(int64_t ms, const Format& format) {
    return framesToBytes(msToFrames(ms, format.rate), format);
}

}  // namespace kinvo::pcm
