// The lookup key of a file name or address: the text compared with the extensions plug-ins
// declare. Pure functions.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// The text after the last "." of `name`; empty when there is none or when a separator follows
// it. In a file name "\" and "/" separate folders; in an address (a name with "://") only "\"
// does, so the key of "http://host.example/live" is "example/live", which matches nothing.
std::string extensionOf(std::string_view name);

// The key of a name, at most kLookupKeyLimit characters: the extension of a file name; for an
// address its extension when that holds none of "?", "&", "="; else the extension of what is
// left after cutting at the last "?", repeated until one is found or no "?" is left.
std::string lookupKey(std::string_view name);

// True when `a` and `b` are equal without regard to the letter case of A to Z.
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vexa
