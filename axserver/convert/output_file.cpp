#include "axserver/convert/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace vexa {

std::optional<OutputFile> OutputFile::create(const std::string& path) noexcept {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::nullopt;
    }
    return OutputFile(fd);
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool OutputFile::write(const void* data, size_t size) noexcept {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, at, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        at += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool OutputFile::writeAt(int64_t offset, const void* data, size_t size) noexcept {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::pwrite(fd_, at, size, offset);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        at += n;
        offset += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool OutputFile::close() noexcept {
    if (fd_ < 0) {
        return true;
    }
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
}

void removeDestination(const std::string& path) noexcept {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        ::unlink(path.c_str());
    }
}

bool sameFile(const std::string& source, const std::string& destination) noexcept {
    std::error_code error;
    if (std::filesystem::equivalent(source, destination, error) && !error) {
        return true;
    }
    auto a = std::filesystem::weakly_canonical(source, error);
    if (error) {
        return false;
    }
    auto b = std::filesystem::weakly_canonical(destination, error);
    return !error && a == b;
}

}  // namespace vexa
