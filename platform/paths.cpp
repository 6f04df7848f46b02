#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace win {

std::string fullPath(std::string_view name) {
    std::string path;
    if (name.empty() || (name.front() != '/' && name.front() != '\\')) {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) != nullptr) {
            path = cwd;
        }
        path += '/';
    }
    path += name;
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (const char c : path) {
        if (c == '/' || c == '\\') {
            flush();
        } else {
            part += c;
        }
    }
    flush();
    std::string out;
    for (const std::string& p : parts) {
        out += '/';
        out += p;
    }
    // A name that ends in a separator names a folder; it keeps the separator.
    const char last = name.empty() ? '\0' : name.back();
    if (out.empty() || last == '/' || last == '\\') {
        out += '/';
    }
    return out;
}

std::optional<std::string> longName(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return path;
}

std::string folderOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

std::string_view fileNameOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace win
