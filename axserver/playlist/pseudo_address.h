// The two pseudo-address forms, parsed without side effects:
//   "select://" 300,'addressA',56,'addressB'  - one of up to 16 addresses chosen by its number;
//   "range://" start,end,address              - an address with a start and an end.
// The playlist keeps the selection state and raises status 221 with the error numbers below.
//
// Pure functions: any thread, nothing throws (but std::bad_alloc).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa::playlist {

inline constexpr std::string_view kSelectPrefix = "select://";
inline constexpr std::string_view kRangePrefix = "range://";
inline constexpr int kMaxAlternatives = 16;
// The longest address an alternative gives (the playlist's file limit).
inline constexpr size_t kMaxSelectAddress = 8195;

// Error numbers of status 221.
enum PseudoAddressError : int32_t {
    kSelectNoCommaAfterNumber = 201,
    kSelectNothingAfterComma = 202,
    kSelectUnterminated = 203,
    kSelectBadSeparator = 204,
    kSelectEmpty = 205,
    kSelectTooMany = 206,
    kRangeNoCommaAfterStart = 101,
    kRangeNoCommaAfterEnd = 102,
};

struct SelectResult {
    bool isSelect = false;  // the name begins with "select://"
    int32_t error = 0;      // one of the 20x numbers when the form could not be parsed
    std::string target;     // the winner's address (empty unless parsed)
    int32_t selectedValue = -1;
};

// Chooses among the alternatives: with `limit` > 0 those whose number exceeds it are set aside;
// the largest remaining number wins (the first of equals), else the smallest of all. The
// selected value is the winner's number, -1 when it is the smallest of all numbers.
SelectResult parseSelect(std::string_view name, int32_t limit);

struct RangeResult {
    bool isRange = false;  // the name begins with "range://"
    int32_t error = 0;     // 101 or 102 when the form could not be parsed
    std::string target;    // the address after start and end (empty unless parsed)
    int32_t start = -1;
    int32_t end = -1;
};

RangeResult parseRange(std::string_view name);

// Digits read as a number (none read as 0); saturates at INT32_MAX instead of overflowing.
int32_t digitsValue(std::string_view digits);

}  // namespace vexa::playlist
