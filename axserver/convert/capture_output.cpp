#include "axserver/convert/capture_output.h"

namespace vexa {

bool CaptureOutput::attach(CaptureTarget* target) noexcept {
    if (target_ != nullptr) {
        return false;
    }
    opened_ = false;
    target_ = target;
    setDummyOutputSink(this);
    return true;
}

void CaptureOutput::detach() noexcept {
    if (target_ != nullptr) {
        setDummyOutputSink(nullptr);  // waits for a call of the record that runs
        target_ = nullptr;
    }
}

int32_t CaptureOutput::open(int32_t sampleRate, int32_t channels, int32_t bitsPerSample) noexcept {
    rate_ = sampleRate;
    channels_ = channels;
    bits_ = bitsPerSample;
    opened_ = true;
    return 0;
}

int32_t CaptureOutput::write(const char* buffer, int32_t byteCount) noexcept {
    return target_ != nullptr ? target_->write(buffer, byteCount) : 1;
}

void CaptureOutput::close() noexcept {
    if (target_ != nullptr) {
        target_->close();
    }
}

}  // namespace vexa
