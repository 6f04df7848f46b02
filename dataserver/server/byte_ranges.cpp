#include "dataserver/server/byte_ranges.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace kinvo::ds {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<std::uint64_t> number(std::string_view s) {
    std::uint64_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size()) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::string RangeAnswer::contentRange(std::uint64_t size) const {
    if (kind == Kind::Partial) {
        return "bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
               std::to_string(size);
    }
    return "bytes */" + std::to_string(size);
}

RangeAnswer resolveRange(std::string_view header, std::uint64_t size) {
    RangeAnswer whole;
    header = trimmed(header);
    std::size_t eq = header.find('=');
    std::string_view unit = trimmed(header.substr(0, eq));
    if (eq == std::string_view::npos || unit.size() != 5 ||
        !std::equal(unit.begin(), unit.end(), "bytes", [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? char(a + 32) : a) == b;
        })) {
        return whole;
    }
    std::string_view list = header.substr(eq + 1);
    bool any = false;
    std::uint64_t first = UINT64_MAX;
    std::uint64_t last = 0;
    std::size_t count = 0;
    while (true) {
        std::size_t comma = list.find(',');
        std::string_view spec = trimmed(list.substr(0, comma));
        if (!spec.empty()) {
            if (++count > kMaxRanges) {
                return whole;
            }
            std::size_t dash = spec.find('-');
            if (dash == std::string_view::npos) {
                return whole;
            }
            std::string_view a = spec.substr(0, dash);
            std::string_view b = spec.substr(dash + 1);
            std::uint64_t f = 0;
            std::uint64_t l = 0;
            bool satisfiable;
            if (a.empty()) {  // the last b bytes
                auto n = number(b);
                if (!n) {
                    return whole;
                }
                satisfiable = *n > 0 && size > 0;
                f = size - std::min(*n, size);
                l = size - 1;
            } else {
                auto nf = number(a);
                auto nl = b.empty() ? std::optional<std::uint64_t>(UINT64_MAX) : number(b);
                if (!nf || !nl || *nl < *nf) {
                    return whole;
                }
                satisfiable = *nf < size;
                f = *nf;
                l = std::min(*nl, size - 1);
            }
            if (satisfiable) {
                any = true;
                first = std::min(first, f);
                last = std::max(last, l);
            }
        }
        if (comma == std::string_view::npos) {
            break;
        }
        list = list.substr(comma + 1);
    }
    if (count == 0) {
        return whole;
    }
    if (!any) {
        return RangeAnswer{RangeAnswer::Kind::Unsatisfiable, 0, 0};
    }
    return RangeAnswer{RangeAnswer::Kind::Partial, first, last};
}

}  // namespace kinvo::ds
