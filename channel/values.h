// Values that travel through the control block, described by type strings: one letter per
// value, "d" a 16-bit integer, "l" a 32-bit integer, "s" a zero-terminated 8-bit text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct Value {
    char type = 'l';     // 'd', 'l' or 's'
    int32_t number = 0;  // d: the 16-bit value sign-extended; unused for s
    std::string text;    // s only; never holds a zero byte

    static Value d(int32_t v) { return Value{'d', static_cast<int16_t>(v), {}}; }
    static Value l(int32_t v) { return Value{'l', v, {}}; }
    static Value s(std::string v) { return Value{'s', 0, std::move(v)}; }

    bool operator==(const Value&) const = default;
};

using Values = std::vector<Value>;

// True when every letter is d, l or s ("" is a valid, empty type string).
bool isTypeString(std::string_view types);

// The type string of a list of values.
std::string typesOf(const Values& values);

}  // namespace vexa
