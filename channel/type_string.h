// Packing and unpacking values by type string over a payload of bytes. Pure functions: the
// control block applies them to its shared view under its lock.
//
// Reading follows the channel's rules: a cursor walks the letters with `remaining` = fill; a
// value that does not fit makes every later letter fail; the read succeeds only when the values
// consume exactly `fill` bytes. Nothing outside `payload` is ever touched, whatever `fill` says.
// Writing appends values back to back and refuses (writes nothing) when they exceed the room.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "channel/values.h"

namespace vexa {

// The values of `types` read from the first `fill` bytes of `payload`; nullopt when they do not
// fill exactly `fill` bytes (also for a negative fill or one beyond the payload) or when `types`
// holds a letter other than d, l, s.
std::optional<Values> readValues(std::span<const uint8_t> payload, int32_t fill,
                                 std::string_view types);

// The number of bytes `values` take when packed.
size_t packedSize(const Values& values);

// Packs `values` at the start of `payload` and answers the new fill; nullopt (payload untouched)
// when they do not fit.
std::optional<int32_t> writeValues(std::span<uint8_t> payload, const Values& values);

// True when every text of `values` has at most the length its position allows: `limits` holds
// one limit per "s" value in order (characters, without the terminating zero); texts beyond the
// end of `limits` are not limited.
bool textsWithinLimits(const Values& values, std::span<const uint32_t> limits);

}  // namespace vexa
