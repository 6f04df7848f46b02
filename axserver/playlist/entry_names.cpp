#include "axserver/playlist/entry_names.h"

#include "platform/paths.h"

namespace vexa::playlist {

namespace {

constexpr size_t kMaxFullPath = 8195;
constexpr size_t kMaxCleanedTitle = 1023;

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

bool isNetworkName(std::string_view name) {
    return name.find("://") != std::string_view::npos ||
           name.find(":\\\\") != std::string_view::npos;
}

std::string makeAbsolute(std::string_view name) {
    if (isNetworkName(name) || name.empty()) {
        return std::string(name);
    }
    std::string full = win::fullPath(name);
    if (full.empty() || full.size() > kMaxFullPath) {
        return std::string(name);
    }
    if (full.find('~') != std::string::npos && win::fileExists(full)) {
        if (std::optional<std::string> longPath = win::longName(full)) {
            std::string_view last = win::fileNameOf(*longPath);
            while (!last.empty() && last.front() == ' ') {
                last.remove_prefix(1);
            }
            if (!last.empty()) {
                std::string replaced = win::folderOf(full) + "/" + std::string(last);
                if (replaced.size() <= kMaxFullPath) {
                    full = std::move(replaced);
                }
            }
        }
    }
    return full;
}

std::string cleanTitle(std::string_view title) {
    title = title.substr(0, kMaxCleanedTitle);
    std::string cleaned;
    cleaned.reserve(title.size());
    for (size_t i = 0; i < title.size(); ++i) {
        if (title[i] == '_') {
            cleaned.push_back(' ');
        } else if (title.substr(i, 3) == "%20") {
            cleaned.push_back(' ');
            i += 2;
        } else {
            cleaned.push_back(title[i]);
        }
    }
    return cleaned;
}

std::string_view stripped(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace vexa::playlist
