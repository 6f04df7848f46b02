#include "axserver/convert/conversion_output.h"

#include <algorithm>

namespace vexa {

bool ConversionOutput::put(const void* data, size_t bytes) noexcept {
    if (failed_) {
        return false;
    }
    if (bytes > 0 && !file_.write(data, bytes)) {
        failed_ = true;
        return false;
    }
    written_ += static_cast<int64_t>(bytes);
    return true;
}

bool ConversionOutput::encode(const char* data, int32_t bytes) noexcept {
    SonariEncoder* object = encoder_->object.get();
    int32_t framePosition = 0;
    while (!failed_) {
        int32_t used = 0;
        const int32_t made =
            object->ops->encode(object, framePosition++, data, bytes, &used, block_, kBlockBytes);
        if (made < 0) {
            failed_ = true;
            break;
        }
        used = std::clamp(used, 0, bytes);
        if (!put(block_, static_cast<size_t>(std::min(made, kBlockBytes)))) {
            break;
        }
        data += used;
        bytes -= used;
        if (made == 0 && used == 0) {
            break;
        }
    }
    return !failed_;
}

bool ConversionOutput::write(const char* data, int32_t bytes) noexcept {
    if (bytes <= 0 || failed_) {
        return !failed_;
    }
    if (encoder_ == nullptr) {
        return put(data, static_cast<size_t>(bytes));
    }
    return encode(data, bytes);
}

bool ConversionOutput::finish(bool decoderEnded) noexcept {
    if (finished_) {
        return !failed_;
    }
    finished_ = true;
    WavWriter* writer = encoder_ != nullptr ? encoder_->wavWriter() : nullptr;
    if (encoder_ != nullptr && decoderEnded && !failed_) {
        if (writer != nullptr) {
            writer->drain();
        } else if (encoder_->prepareToFinish != nullptr) {
            encoder_->prepareToFinish(destination_.c_str(), encoder_->object.get());
        }
        encode(nullptr, 0);
    }
    if (writer != nullptr && !failed_) {
        const WavHeader header = writer->header();
        if (!file_.writeAt(0, header.data(), header.size())) {
            failed_ = true;
        }
    }
    if (!file_.close()) {
        failed_ = true;
    }
    if (encoder_ != nullptr && encoder_->finish != nullptr && !failed_) {
        encoder_->finish(destination_.c_str(), encoder_->object.get());
    }
    return !failed_;
}

}  // namespace vexa
