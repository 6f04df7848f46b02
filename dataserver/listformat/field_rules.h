#pragma once
// What the browser can read back. The browser cuts every list entry at fixed markers, on the
// text as sent (names, notes and addresses still shifted), and later takes a station's address
// and time back out of the tag it builds from the fields. A text that would put one of those
// markers in the wrong place, or that the shift cannot carry, would reach the user as a
// different station; the server refuses such texts where they enter (import, rating form).
//
// Pure functions; thread-safe; no errors beyond the returned reason.

#include <optional>
#include <string>
#include <string_view>

namespace kinvo::ds {

enum class Field {
    Category,
    Address,
    Info,
    Extra,
    Name,
    TimeText,
    Rating,
    Notes,
    Tags,
    Logo,
};

// Longest text a field may hold, in bytes.
std::size_t maxLength(Field field);

// Empty when `text` (as stored, before the shift) survives the trip into a list entry and back
// out of the browser's cut rules unchanged; otherwise why not, in words for an operator.
std::optional<std::string> fieldProblem(Field field, std::string_view text);

// The address as it goes into a list entry: shifted, and, when the shifted full address would
// hold a ">" (the browser drops everything through the first ">" before it reads the first
// field) or another marker, shifted without its "http://", which the browser puts back when it
// decodes an address. nullopt when neither spelling can be read back.
std::optional<std::string> sentAddress(std::string_view address);

// Texts of categories the browser lists by itself and never asks the server for.
bool isReservedCategory(std::string_view name);

}  // namespace kinvo::ds
