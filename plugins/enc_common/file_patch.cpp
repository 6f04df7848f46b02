#include "plugins/enc_common/file_patch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/unique_fd.h"

namespace kinvo::enc {

bool applyPatches(const std::string& path, const std::vector<Patch>& patches) noexcept {
    if (patches.empty()) {
        return true;
    }
    const win::UniqueFd file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
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
