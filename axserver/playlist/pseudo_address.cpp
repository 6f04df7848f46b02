#include "axserver/playlist/pseudo_address.h"

#include <algorithm>
#include <array>
#include <limits>
#include <span>

namespace vexa::playlist {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits at `pos` (possibly none); moves `pos` past them.
std::string_view takeDigits(std::string_view text, size_t& pos) {
    const size_t begin = pos;
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    return text.substr(begin, pos - begin);
}

struct Alternative {
    int32_t number;
    std::string_view address;
};

}  // namespace

int32_t digitsValue(std::string_view digits) {
    int64_t value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            return std::numeric_limits<int32_t>::max();
        }
    }
    return static_cast<int32_t>(value);
}

SelectResult parseSelect(std::string_view name, int32_t limit) {
    SelectResult result;
    if (!name.starts_with(kSelectPrefix)) {
        return result;
    }
    result.isSelect = true;
    const std::string_view text = name.substr(kSelectPrefix.size());
    if (text.empty()) {
        result.error = kSelectEmpty;
        return result;
    }
    std::array<Alternative, kMaxAlternatives> alternatives{};
    int count = 0;
    size_t pos = 0;
    for (;;) {
        if (count == kMaxAlternatives) {
            result.error = kSelectTooMany;
            return result;
        }
        const int32_t number = digitsValue(takeDigits(text, pos));
        if (pos >= text.size() || text[pos] != ',') {
            result.error = kSelectNoCommaAfterNumber;
            return result;
        }
        ++pos;
        if (pos >= text.size()) {
            result.error = kSelectNothingAfterComma;
            return result;
        }
        const char delimiter = text[pos++];
        const size_t close = text.find(delimiter, pos);
        if (close == std::string_view::npos) {
            result.error = kSelectUnterminated;
            return result;
        }
        alternatives[count++] = {number, text.substr(pos, close - pos)};
        pos = close + 1;
        if (pos == text.size()) {
            break;
        }
        if (text[pos] != ',') {
            result.error = kSelectBadSeparator;
            return result;
        }
        ++pos;
    }

    const auto all = std::span(alternatives).first(count);
    int32_t smallest = all[0].number;
    const Alternative* smallestFirst = &all[0];
    const Alternative* best = nullptr;
    for (const Alternative& a : all) {
        if (a.number < smallest) {
            smallest = a.number;
            smallestFirst = &a;
        }
        if ((limit <= 0 || a.number <= limit) && (best == nullptr || a.number > best->number)) {
            best = &a;
        }
    }
    const Alternative& winner = best != nullptr ? *best : *smallestFirst;
    result.target = std::string(winner.address.substr(0, kMaxSelectAddress));
    result.selectedValue = winner.number == smallest ? -1 : winner.number;
    return result;
}

RangeResult parseRange(std::string_view name) {
    RangeResult result;
    if (!name.starts_with(kRangePrefix)) {
        return result;
    }
    result.isRange = true;
    const std::string_view text = name.substr(kRangePrefix.size());
    size_t pos = 0;
    const int32_t start = digitsValue(takeDigits(text, pos));
    if (pos >= text.size() || text[pos] != ',') {
        result.error = kRangeNoCommaAfterStart;
        return result;
    }
    ++pos;
    const int32_t end = digitsValue(takeDigits(text, pos));
    if (pos >= text.size() || text[pos] != ',') {
        result.error = kRangeNoCommaAfterEnd;
        return result;
    }
    result.target = std::string(text.substr(pos + 1));
    result.start = start;
    result.end = end;
    return result;
}

}  // namespace vexa::playlist
