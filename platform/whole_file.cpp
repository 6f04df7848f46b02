#include "platform/whole_file.h"

#include "platform/unique_fd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace win::detail {

ReadResult readWholeFile(const std::string& path, std::string& out, std::size_t limit,
                         int openFlags) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | openFlags));
    if (!fd) {
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    }
    const std::size_t start = out.size();
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return ReadResult::Failed;
        }
        if (n == 0) {
            return ReadResult::Ok;
        }
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() - start > limit) {
            return ReadResult::Failed;
        }
    }
}

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace win::detail
