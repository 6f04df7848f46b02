#include "catalogue/text_shift.h"

#include "catalogue/request_texts.h"

namespace kinvo {
namespace {

int firstDecimalDigit(std::size_t n) {
    while (n >= 10) {
        n /= 10;
    }
    return static_cast<int>(n);
}

// Shifts each byte by +digit (sign 1) or -digit (sign -1), dropping bytes that leave 0..255.
std::string shift(std::string_view text, int sign) {
    const ShiftDigits digits = shiftDigitsFor(text.size());
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int by = i < digits.half ? digits.first : digits.second;
        const int code = static_cast<unsigned char>(text[i]) + sign * by;
        if (code >= 0 && code <= 255) {
            out.push_back(static_cast<char>(code));
        }
    }
    return out;
}

}  // namespace

ShiftDigits shiftDigitsFor(std::size_t length) {
    // Round length / 2 to the nearest whole number, halves to the even neighbour: only odd
    // lengths have a half, and of length / 2 and length / 2 + 1 the even one wins.
    std::size_t half = length / 2;
    if (length % 2 == 1 && half % 2 == 1) {
        ++half;
    }
    return ShiftDigits{half, firstDecimalDigit(length), half == 0 ? 0 : firstDecimalDigit(half)};
}

std::string EncodeText(std::string_view text) {
    return shift(text, 1);
}

std::string DecodeText(std::string_view text, bool addScheme) {
    std::string out = shift(text, -1);
    if (addScheme && out.find("://") == std::string::npos) {
        out.insert(0, wire::kScheme);
    }
    return out;
}

}  // namespace kinvo
