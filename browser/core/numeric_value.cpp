#include "browser/core/numeric_value.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kinvo {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double numericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    // Collect the longest prefix that is a number; from_chars then reads exactly that prefix, so
    // nothing after it (hexadecimal, "inf", "nan") is taken for part of a number, whatever the
    // locale's decimal point.
    std::string number;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i++] == '-';
    }
    bool digits = false;
    while (i < text.size() && isDigit(text[i])) {
        number.push_back(text[i++]);
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number.push_back(text[i++]);
        while (i < text.size() && isDigit(text[i])) {
            number.push_back(text[i++]);
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent.push_back(text[j++]);
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                exponent.push_back(text[j++]);
            }
            number += exponent;
        }
    }
    double value = 0;
    const std::from_chars_result read =
        std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec != std::errc() || !std::isfinite(value)) {
        return 0;  // out of range
    }
    return negative ? -value : value;
}

std::int64_t roundToWhole(double value) {
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) {
        return 0;
    }
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (rounded < kLow) {
        return static_cast<std::int64_t>(kLow);
    }
    if (rounded > kHigh) {
        return static_cast<std::int64_t>(kHigh);
    }
    return static_cast<std::int64_t>(rounded);
}

}  // namespace kinvo
