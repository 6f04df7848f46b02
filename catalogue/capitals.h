#pragma once
// Tests of the form "the text, in capitals, contains WORD". Only ASCII letters have capitals
// here: the catalogue's bytes carry no code page to say what a byte above 127 is.

#include <string_view>

namespace kinvo {

// Position of the first occurrence of capitals (written in capitals) in text compared without
// regard to ASCII letter case, at or after from; npos when none. Linear in the text's length for
// the short words it is used with.
std::size_t findInCapitals(std::string_view text, std::string_view capitals, std::size_t from = 0);

inline bool containsInCapitals(std::string_view text, std::string_view capitals) {
    return findInCapitals(text, capitals) != std::string_view::npos;
}

}  // namespace kinvo
