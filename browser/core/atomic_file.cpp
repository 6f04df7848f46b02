#include "browser/core/atomic_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace kinvo {
namespace {

// Closes the descriptor and removes the temporary file unless released.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string pattern) : path_(std::move(pattern)) {
        fd_ = ::mkstemp(path_.data());
    }
    ~TemporaryFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!kept_) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    void keep() { kept_ = true; }

  private:
    std::string path_;
    int fd_ = -1;
    bool kept_ = false;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

bool replaceFile(const QString& path, std::string_view bytes) {
    const QByteArray target = QFile::encodeName(path);
    const int slash = target.lastIndexOf('/');
    const std::string folder = slash < 0 ? std::string(".") : target.left(slash).toStdString();
    const std::string name = target.mid(slash + 1).toStdString();
    // A hidden name beside the target: the rename stays within one file system.
    TemporaryFile temporary(folder + "/." + name + ".XXXXXX");
    if (temporary.fd() < 0) {
        return false;
    }
    struct stat old {};
    mode_t mode = 0;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0644 & ~mask;
    }
    if (::fchmod(temporary.fd(), mode) != 0 || !writeAll(temporary.fd(), bytes) ||
        ::fsync(temporary.fd()) != 0 || !temporary.close()) {
        return false;
    }
    if (::rename(temporary.path().c_str(), target.constData()) != 0) {
        return false;
    }
    temporary.keep();
    return true;
}

}  // namespace kinvo
