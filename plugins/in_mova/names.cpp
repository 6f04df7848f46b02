#include "plugins/in_mova/names.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

namespace kinvo::in_mova {

namespace {

bool equalFolded(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool startsWithFolded(std::string_view name, std::string_view prefix) noexcept {
    return name.size() >= prefix.size() && equalFolded(name.substr(0, prefix.size()), prefix);
}

}  // namespace

bool isProtectedName(std::string_view name) noexcept {
    constexpr std::string_view kSuffix = ".m4p";
    return name.size() >= kSuffix.size() &&
           equalFolded(name.substr(name.size() - kSuffix.size()), kSuffix);
}

bool isNetworkAddress(std::string_view name) noexcept {
    return startsWithFolded(name, "rtsp:") || startsWithFolded(name, "ftp:") ||
           startsWithFolded(name, "http:");
}

bool isRtspAddress(std::string_view name) noexcept {
    return startsWithFolded(name, "rtsp:");
}

std::optional<std::string> movieAddress(std::string_view name, bool forPlay) {
    if (isNetworkAddress(name)) {
        return forPlay ? std::optional<std::string>(name) : std::nullopt;
    }
    return "file://" + std::string(name);
}

std::string fallbackTitle(std::string_view name) {
    const auto separator = name.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? name : name.substr(separator + 1));
}

bool sameName(std::string_view a, std::string_view b) noexcept {
    return equalFolded(a, b);
}

}  // namespace kinvo::in_mova
