#pragma once
// The blank-trimming rule of the text files the platform reads (profile files, registry hives):
// blanks and tabs go at both ends, a carriage return at the end too.

#include <string_view>

namespace win::detail {

inline std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace win::detail
