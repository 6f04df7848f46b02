#include "plugins/out_qpcm/wav_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <limits>
#include <utility>

namespace kinvo::qpcm {

namespace {

constexpr size_t kHeaderSize = 44;
constexpr off_t kRiffSizeOffset = 4;
constexpr off_t kDataSizeOffset = 40;

void putLe(unsigned char* at, uint32_t value, int bytes) noexcept {
    for (int i = 0; i < bytes; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

bool writeAll(int fd, const char* bytes, size_t count) noexcept {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

uint32_t capped(uint64_t value) noexcept {
    return value > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                        : static_cast<uint32_t>(value);
}

}  // namespace

std::optional<WavFile> WavFile::create(const std::string& path, int32_t sampleRate,
                                       int32_t channels, int32_t bitsPerSample) noexcept {
    if (sampleRate <= 0 || channels <= 0 || bitsPerSample <= 0 || bitsPerSample % 8 != 0) {
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::nullopt;
    }
    WavFile file(fd);
    const uint32_t blockAlign = static_cast<uint32_t>(channels * bitsPerSample / 8);
    std::array<unsigned char, kHeaderSize> header{};
    auto text = [&](size_t at, const char* four) {
        for (size_t i = 0; i < 4; ++i) {
            header[at + i] = static_cast<unsigned char>(four[i]);
        }
    };
    text(0, "RIFF");
    putLe(&header[4], 36, 4);
    text(8, "WAVE");
    text(12, "fmt ");
    putLe(&header[16], 16, 4);
    putLe(&header[20], 1, 2);  // PCM
    putLe(&header[22], static_cast<uint32_t>(channels), 2);
    putLe(&header[24], static_cast<uint32_t>(sampleRate), 4);
    putLe(&header[28], static_cast<uint32_t>(sampleRate) * blockAlign, 4);
    putLe(&header[32], blockAlign, 2);
    putLe(&header[34], static_cast<uint32_t>(bitsPerSample), 2);
    text(36, "data");
    putLe(&header[40], 0, 4);
    if (!writeAll(fd, reinterpret_cast<const char*>(header.data()), header.size())) {
        return std::nullopt;
    }
    return file;
}

WavFile::WavFile(WavFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), dataBytes_(other.dataBytes_) {}

WavFile& WavFile::operator=(WavFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        dataBytes_ = other.dataBytes_;
    }
    return *this;
}

WavFile::~WavFile() {
    close();
}

bool WavFile::append(const char* bytes, size_t count) noexcept {
    if (fd_ < 0) {
        return false;
    }
    const bool complete = writeAll(fd_, bytes, count);
    // What reached the file counts even after a short write: the header must describe it.
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (end >= static_cast<off_t>(kHeaderSize)) {
        dataBytes_ = static_cast<uint64_t>(end) - kHeaderSize;
    }
    patchSizes();
    return complete;
}

void WavFile::patchSizes() noexcept {
    unsigned char field[4];
    putLe(field, capped(dataBytes_ + kHeaderSize - 8), 4);
    (void)::pwrite(fd_, field, sizeof field, kRiffSizeOffset);
    putLe(field, capped(dataBytes_), 4);
    (void)::pwrite(fd_, field, sizeof field, kDataSizeOffset);
}

void WavFile::close() noexcept {
    if (fd_ >= 0) {
        patchSizes();
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace kinvo::qpcm
