#include "browser/core/bounded_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace kinvo {
namespace {

// Owner of one file descriptor; closes it when it goes.
class Descriptor {
  public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&&) = delete;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const noexcept { return fd_; }

  private:
    int fd_ = -1;
};

FileState stateOf(const struct stat& status, std::int64_t maxBytes) {
    if (!S_ISREG(status.st_mode) || status.st_size > maxBytes) {
        return FileState::Unusable;
    }
    return FileState::Usable;
}

}  // namespace

FileState probeFile(const QString& path, std::int64_t maxBytes) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return errno == ENOENT ? FileState::Missing : FileState::Unusable;
    }
    return stateOf(status, maxBytes);
}

FileBytes readBoundedFile(const QString& path, std::int64_t maxBytes) {
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const Descriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return {errno == ENOENT ? FileState::Missing : FileState::Unusable, {}};
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return {FileState::Unusable, {}};
    }
    if (stateOf(status, maxBytes) != FileState::Usable) {
        return {FileState::Unusable, {}};
    }
    FileBytes result{FileState::Usable, {}};
    // One byte past the bound tells a file that grew beyond it.
    const auto wanted = static_cast<std::size_t>(maxBytes) + 1;
    result.bytes.resize(std::min(wanted, static_cast<std::size_t>(status.st_size) + 1));
    std::size_t filled = 0;
    for (;;) {
        if (filled == result.bytes.size()) {
            if (filled == wanted) {
                return {FileState::Unusable, {}};
            }
            result.bytes.resize(std::min(wanted, filled * 2 + 4096));
        }
        const ssize_t got =
            ::read(file.get(), result.bytes.data() + filled, result.bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {FileState::Unusable, {}};
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    result.bytes.resize(filled);
    return result;
}

}  // namespace kinvo
