// Play times and fallback names shared by the readers.
#include <charconv>

#include "dataserver/importers/playlist_readers.h"

namespace kinvo::ds {

namespace {

std::optional<std::int64_t> digits(std::string_view s) {
    if (s.empty() || s.size() > 12) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < 0) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::optional<std::int64_t> parseSeconds(std::string_view text) {
    std::int64_t total = 0;
    int parts = 0;
    while (true) {
        std::size_t colon = text.find(':');
        auto part = digits(text.substr(0, colon));
        if (!part || ++parts > 3 || (parts > 1 && *part >= 60)) {
            return std::nullopt;
        }
        total = total * 60 + *part;
        if (colon == std::string_view::npos) {
            return total;
        }
        text.remove_prefix(colon + 1);
    }
}

std::string formatSeconds(std::int64_t seconds) {
    auto two = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    if (seconds >= 3600) {
        return std::to_string(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" +
               two(seconds % 60);
    }
    return std::to_string(seconds / 60) + ":" + two(seconds % 60);
}

std::string nameFromAddress(std::string_view address) {
    std::string_view s = address.substr(0, address.find_first_of("?#"));
    while (!s.empty() && s.back() == '/') {
        s.remove_suffix(1);
    }
    std::size_t slash = s.rfind('/');
    if (slash != std::string_view::npos) {
        s.remove_prefix(slash + 1);
    }
    std::size_t dot = s.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        s = s.substr(0, dot);
    }
    return std::string(s.empty() ? address : s);
}

}  // namespace kinvo::ds
