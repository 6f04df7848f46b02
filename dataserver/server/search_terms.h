#pragma once
// Turns a search term as typed into an FTS5 query: every word becomes a quoted prefix term
// ("word"*), all of them required, so no character of the term can act as FTS5 syntax.
// Words are runs of letters, digits and non-ASCII bytes. At most kMaxWords words of at most
// kMaxWordBytes each are used. Empty when the term has no word.

#include <cstddef>
#include <string>
#include <string_view>

namespace kinvo::ds {

inline constexpr std::size_t kMaxWords = 8;
inline constexpr std::size_t kMaxWordBytes = 64;

std::string ftsQueryFor(std::string_view term);

}  // namespace kinvo::ds
