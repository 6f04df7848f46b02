#pragma once
// Text that strangers type into the support form: what the form accepts, and how an
// operator's terminal shows it later. Stored text is never trusted to be clean (older rows
// were stored unchecked), so the printing side escapes whatever it is given.
//
// Pure functions; thread-safe; no errors beyond the returned reason.

#include <optional>
#include <string>
#include <string_view>

namespace kinvo::ds {

// Empty when `text` is valid UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF) without NUL or other control characters (C0, DEL, C1). `multiline` lets tab, CR
// and LF through, for a message body typed into a text area.
std::optional<std::string> formTextProblem(std::string_view text, bool multiline);

// `text` as plain printable characters: a backslash as "\\", tab, CR and LF as "\t", "\r" and
// "\n", any other control character or byte that is not part of valid UTF-8 as "\xNN". With
// `multiline`, an LF is kept as a line break followed by `indent`, so that no line of a field
// can start where a new entry would.
std::string terminalText(std::string_view text, bool multiline = false,
                         std::string_view indent = "");

}  // namespace kinvo::ds
