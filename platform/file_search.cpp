#include "platform/file_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace win {
namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool lessNoCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(lower(a[i]));
        const unsigned char y = static_cast<unsigned char>(lower(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // Greedy matching with one back-track point for the last "*": linear in practice.
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::vector<FoundFile> findFiles(const std::string& folder, std::string_view pattern) {
    std::vector<FoundFile> found;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !wildcardMatch(pattern, name)) {
            continue;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st {};
            isFolder = ::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        found.push_back(FoundFile{name, isFolder});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(),
              [](const FoundFile& a, const FoundFile& b) { return lessNoCase(a.name, b.name); });
    return found;
}

}  // namespace win
