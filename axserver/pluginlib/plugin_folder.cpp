#include "axserver/pluginlib/plugin_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace vexa {

namespace {

char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(x) == foldCase(y);
           });
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                     [](char x, char y) { return foldCase(x) < foldCase(y); });
    if (less || !equalIgnoringCase(a, b)) {
        return less;
    }
    return a < b;
}

struct DirCloser {
    void operator()(DIR* dir) const noexcept { closedir(dir); }
};

}  // namespace

std::string pluginFolder(std::string_view moduleDir) {
    return std::string(moduleDir) + "/Plugins";
}

std::vector<std::string> findPluginFiles(const std::string& folder, std::string_view prefix) {
    constexpr std::string_view kSuffix = ".so";
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return names;
    }
    while (dirent* entry = readdir(dir.get())) {
        std::string_view name = entry->d_name;
        if (name.size() < prefix.size() + kSuffix.size() ||
            !equalIgnoringCase(name.substr(0, prefix.size()), prefix) ||
            !equalIgnoringCase(name.substr(name.size() - kSuffix.size()), kSuffix)) {
            continue;
        }
        struct stat info {};
        if (fstatat(dirfd(dir.get()), entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
}

}  // namespace vexa
