#include "platform/runtime_dir.h"

#include "platform/unique_fd.h"
#include "platform/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace win::detail {
namespace {

bool folderIsOurs(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        return false;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) {
        return false;
    }
    return true;
}

std::optional<std::string> readSmallFile(const std::string& path) {
    std::string data;
    if (readWholeFile(path, data, 65536, O_NOFOLLOW) != ReadResult::Ok) {
        return std::nullopt;
    }
    return data;
}

// "<length>:<bytes>\n" keeps any byte of a window text, line feeds included.
void putField(std::string& out, const std::string& value) {
    out += std::to_string(value.size());
    out += ':';
    out += value;
    out += '\n';
}

bool takeNumber(const std::string& in, std::size_t& pos, char end, std::uint64_t& value) {
    value = 0;
    const std::size_t start = pos;
    while (pos < in.size() && in[pos] >= '0' && in[pos] <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(in[pos] - '0');
        ++pos;
        if (pos - start > 19) {
            return false;
        }
    }
    if (pos == start || pos >= in.size() || in[pos] != end) {
        return false;
    }
    ++pos;
    return true;
}

bool takeField(const std::string& in, std::size_t& pos, std::string& value) {
    std::uint64_t length = 0;
    if (!takeNumber(in, pos, ':', length) || length > in.size() - pos ||
        pos + length >= in.size() || in[pos + length] != '\n') {
        return false;
    }
    value.assign(in, pos, length);
    pos += length + 1;
    return true;
}

}  // namespace

std::optional<std::string> openRuntimeDir() {
    std::string path;
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg != nullptr && xdg[0] == '/') {
        path = std::string(xdg) + "/sonari-win";
    } else {
        path = "/tmp/sonari-win-" + std::to_string(::getuid());
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    if (!folderIsOurs(path)) {
        return std::nullopt;
    }
    return path;
}

std::string socketPath(const std::string& dir, pid_t pid) {
    return dir + "/p" + std::to_string(pid) + ".sock";
}

std::string windowFilePath(const std::string& dir, HWND hwnd) {
    char name[16];
    std::snprintf(name, sizeof name, "/w%08x", hwnd);
    return dir + name;
}

bool writeWindowFile(const std::string& dir, HWND hwnd, const WindowFile& file) {
    std::string data = "sonari-window 1\n";
    data += std::to_string(file.pid) + "\n";
    data += std::to_string(file.startTime) + "\n";
    putField(data, file.className);
    putField(data, file.text);

    // A temporary name unique to this call; rename makes the change atomic.
    static std::atomic<unsigned> counter{0};
    const std::string target = windowFilePath(dir, hwnd);
    const std::string temp = target + ".tmp" + std::to_string(::getpid()) + "." +
                             std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd) {
        return false;
    }
    const bool written = writeAll(fd.get(), data);
    fd.reset();
    if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::optional<WindowFile> readWindowFile(const std::string& dir, HWND hwnd) {
    const std::optional<std::string> data = readSmallFile(windowFilePath(dir, hwnd));
    static const std::string kHeader = "sonari-window 1\n";
    if (!data || data->compare(0, kHeader.size(), kHeader) != 0) {
        return std::nullopt;
    }
    std::size_t pos = kHeader.size();
    std::uint64_t pid = 0;
    WindowFile file;
    if (!takeNumber(*data, pos, '\n', pid) || !takeNumber(*data, pos, '\n', file.startTime) ||
        !takeField(*data, pos, file.className) || !takeField(*data, pos, file.text) || pid == 0 ||
        pid > 0x3FFFFF) {
        return std::nullopt;
    }
    file.pid = static_cast<pid_t>(pid);
    return file;
}

void removeWindowFile(const std::string& dir, HWND hwnd) noexcept {
    ::unlink(windowFilePath(dir, hwnd).c_str());
}

std::vector<HWND> listWindowFiles(const std::string& dir) {
    std::vector<HWND> handles;
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr) {
        return handles;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const char* name = entry->d_name;
        if (name[0] != 'w' || std::strlen(name) != 9) {
            continue;
        }
        char* end = nullptr;
        const unsigned long value = std::strtoul(name + 1, &end, 16);
        if (end == name + 9 && value <= 0xFFFFFFFFul) {
            handles.push_back(static_cast<HWND>(value));
        }
    }
    ::closedir(folder);
    return handles;
}

void removeStaleSockets(const std::string& dir) {
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr) {
        return;
    }
    std::vector<pid_t> dead;
    while (const dirent* entry = ::readdir(folder)) {
        const char* name = entry->d_name;
        char* end = nullptr;
        if (name[0] != 'p') {
            continue;
        }
        const long pid = std::strtol(name + 1, &end, 10);
        if (pid > 0 && pid <= 0x3FFFFF && std::strcmp(end, ".sock") == 0 &&
            !processStartTime(static_cast<pid_t>(pid))) {
            dead.push_back(static_cast<pid_t>(pid));
        }
    }
    ::closedir(folder);
    for (const pid_t pid : dead) {
        ::unlink(socketPath(dir, pid).c_str());
    }
}

std::optional<std::uint64_t> processStartTime(pid_t pid) {
    const std::optional<std::string> stat = readSmallFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) {
        return std::nullopt;
    }
    // Fields after the command name, which is in parentheses and may itself hold blanks.
    const std::size_t close = stat->rfind(')');
    if (close == std::string::npos || close + 2 >= stat->size()) {
        return std::nullopt;
    }
    const char state = (*stat)[close + 2];
    if (state == 'Z' || state == 'X' || state == 'x') {
        return std::nullopt;
    }
    // starttime is field 22; the state is field 3.
    std::size_t pos = close + 2;
    for (int field = 3; field < 22; ++field) {
        pos = stat->find(' ', pos);
        if (pos == std::string::npos) {
            return std::nullopt;
        }
        ++pos;
    }
    return std::strtoull(stat->c_str() + pos, nullptr, 10);
}

bool windowFileLive(const WindowFile& file) {
    const std::optional<std::uint64_t> start = processStartTime(file.pid);
    return start && *start == file.startTime;
}

}  // namespace win::detail
