#pragma once
// The catalogue's character shift. Station addresses, names and notes travel between the data
// server and the browser with every byte moved up by a small digit; both sides use these two
// functions so the shift cannot drift apart.
//
// Texts are bytes (codes 0 to 255), never characters: a multi-byte UTF-8 name is shifted byte by
// byte. The text splits at `half`, its length divided by 2 rounded to the nearest whole number
// with halves going to the even neighbour (3 -> 2, 5 -> 2, 7 -> 4). Bytes 1..half move by the
// first decimal digit of the length, the rest by the first decimal digit of half (0 when half is
// 0). A byte whose moved code would leave 0..255 is dropped.
//
// Both functions are pure and thread-safe; they never fail.

#include <cstddef>
#include <string>
#include <string_view>

namespace kinvo {

struct ShiftDigits {
    std::size_t half = 0;  // bytes 0..half-1 move by first, the rest by second
    int first = 0;
    int second = 0;
};

// The split point and the two digits for a text of `length` bytes.
ShiftDigits shiftDigitsFor(std::size_t length);

// Moves every byte up by its digit: "abc" -> "dee".
std::string EncodeText(std::string_view text);

// Moves every byte down by its digit: "dee" -> "abc". With addScheme, a result that does not
// contain "://" gets "http://" in front.
std::string DecodeText(std::string_view text, bool addScheme);

}  // namespace kinvo
