#include "platform/temp_files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace win {

std::string tempFolder() {
    const char* dir = std::getenv("TMPDIR");
    struct stat st {};
    std::string folder =
        dir != nullptr && dir[0] != '\0' && ::stat(dir, &st) == 0 && S_ISDIR(st.st_mode) ? dir
                                                                                         : "/tmp";
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::optional<std::string> uniqueTempFile(std::string_view folder, std::string_view prefix) {
    if (prefix.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    std::string pattern(folder.empty() ? tempFolder() : std::string(folder));
    if (pattern.back() != '/') {
        pattern += '/';
    }
    pattern += prefix;
    pattern += "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    ::close(fd);
    return std::string(buffer.data());
}

}  // namespace win
