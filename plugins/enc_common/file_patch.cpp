#include "plugins/enc_common/file_patch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace kinvo::enc {

namespace {

// Closes a file descriptor when it goes.
class Descriptor {
  public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const noexcept { return fd_; }

  private:
    int fd_;
};

}  // namespace

bool applyPatches(const std::string& path, const std::vector<Patch>& patches) noexcept {
    if (patches.empty()) {
        return true;
    }
    const Descriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        return false;
    }
    for (const Patch& patch : patches) {
        if (patch.offset >= info.st_size) {
            continue;
        }
        const auto count = static_cast<size_t>(std::min<int64_t>(
            static_cast<int64_t>(patch.bytes.size()), info.st_size - patch.offset));
        if (::pwrite(file.get(), patch.bytes.data(), count, patch.offset) !=
            static_cast<ssize_t>(count)) {
            return false;
        }
    }
    return true;
}

}  // namespace kinvo::enc
