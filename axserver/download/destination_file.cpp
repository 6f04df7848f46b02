#include "axserver/download/destination_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace vexa {

namespace {

bool writeAll(int fd, std::span<const char> bytes) noexcept {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool DestinationFile::create(const std::string& path) noexcept {
    buffer_.reset(new (std::nothrow) char[kWriteBehind]);
    if (!buffer_) {
        return false;
    }
    fd_.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    return static_cast<bool>(fd_);
}

bool DestinationFile::write(std::span<const char> bytes) noexcept {
    if (used_ + bytes.size() > kWriteBehind && !flush()) {
        return false;
    }
    if (bytes.size() >= kWriteBehind) {
        return writeAll(fd_.get(), bytes);
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
    return true;
}

bool DestinationFile::finish() noexcept {
    const bool flushed = !fd_ || flush();
    fd_.reset();
    return flushed;
}

bool DestinationFile::flush() noexcept {
    const size_t pending = used_;
    used_ = 0;
    return writeAll(fd_.get(), {buffer_.get(), pending});
}

}  // namespace vexa
