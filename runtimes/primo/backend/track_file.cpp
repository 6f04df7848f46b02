#include "runtimes/primo/backend/track_file.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace primo {

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

}  // namespace

std::optional<TrackFile> openTrackFile(const std::string& path, uint32_t pauseSectors) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return std::nullopt;
    }
    const long fileSize = std::ftell(file.get());
    std::rewind(file.get());
    unsigned char riff[12];
    if (std::fread(riff, 1, sizeof riff, file.get()) != sizeof riff ||
        std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    bool formatOk = false;
    unsigned char chunk[8];
    while (std::fread(chunk, 1, sizeof chunk, file.get()) == sizeof chunk) {
        const uint32_t size = le32(chunk + 4);
        const long body = std::ftell(file.get());
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < sizeof fmt || std::fread(fmt, 1, sizeof fmt, file.get()) != sizeof fmt) {
                return std::nullopt;
            }
            formatOk = le16(fmt) == 1 && le16(fmt + 2) == 2 && le32(fmt + 4) == 44100 &&
                       le16(fmt + 14) == 16;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!formatOk) {
                return std::nullopt;
            }
            TrackFile track;
            track.path = path;
            track.dataOffset = body;
            // A writer that could not go back to fill in the size leaves it short or huge: the
            // file's end is the end of the samples.
            track.dataBytes = std::min<int64_t>(size, fileSize - body) & ~int64_t{3};
            track.pauseSectors = pauseSectors;
            return track;
        }
        if (std::fseek(file.get(), body + size + (size & 1), SEEK_SET) != 0) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace primo
