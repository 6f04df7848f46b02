#include "axserver/convert/tests/plugins/wav_source.h"

#include <cstring>

namespace convert_test {

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

std::unique_ptr<WavSource> WavSource::open(const char* path, std::string& error) {
    auto source = std::unique_ptr<WavSource>(new WavSource);
    source->file_ = std::fopen(path, "rb");
    unsigned char head[12];
    if (source->file_ == nullptr || std::fread(head, 1, 12, source->file_) != 12 ||
        std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
        error = "Not a WAV file";
        return nullptr;
    }
    unsigned char chunk[8];
    while (std::fread(chunk, 1, 8, source->file_) == 8) {
        const uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            unsigned char fmt[16];
            if (std::fread(fmt, 1, 16, source->file_) != 16) {
                break;
            }
            source->channels = fmt[2] | (fmt[3] << 8);
            source->rate = static_cast<int32_t>(le32(fmt + 4));
            source->bits = fmt[14] | (fmt[15] << 8);
            std::fseek(source->file_, static_cast<long>(size - 16 + (size & 1)), SEEK_CUR);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            source->dataBytes = size;
            source->left_ = size;
            if (source->rate > 0 && source->channels > 0 && source->bits > 0) {
                return source;
            }
            break;
        } else {
            std::fseek(source->file_, static_cast<long>(size + (size & 1)), SEEK_CUR);
        }
    }
    error = "Not a PCM WAV file";
    return nullptr;
}

WavSource::~WavSource() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

int32_t WavSource::read(char* buffer, int32_t size) {
    const int32_t frame = bits / 8 * channels;
    int64_t want = size < left_ ? size : left_;
    want -= want % frame;
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(want), file_);
    left_ -= static_cast<int64_t>(got);
    return static_cast<int32_t>(got);
}

int32_t WavSource::lengthMs() const {
    return static_cast<int32_t>(dataBytes * 1000 / (bits / 8 * channels) / rate);
}

}  // namespace convert_test
