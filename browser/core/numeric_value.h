#pragma once
// The numeric value of a catalogue text, as the station details read play times and ratings: the
// decimal number at the start of the text (after blanks: an optional sign, digits, an optional
// fraction and exponent); 0 when the text does not start with one. "187" reads 187, "3.5 stars"
// 3.5, "abc" and the empty text 0. Pure; never fails.

#include <cstdint>
#include <string_view>

namespace kinvo {

double numericValue(std::string_view text);

// value to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4); values
// beyond the 32-bit range are clamped to it.
std::int64_t roundToWhole(double value);

}  // namespace kinvo
