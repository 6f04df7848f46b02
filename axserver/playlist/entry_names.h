// The text rules for names and titles of playlist entries.
//
// Pure functions apart from the file system queries of makeAbsolute; any thread; nothing throws
// but std::bad_alloc.
#pragma once

#include <string>
#include <string_view>

namespace vexa::playlist {

// True for an address: the name contains "://" or ":\\" (a colon and two backslashes).
bool isNetworkName(std::string_view name);

// An address stays as it is. Any other name becomes its full path against the current folder
// (unchanged when that fails or is longer than 8195 characters); a path with "~" that exists
// gets the file's long name as its last component (leading blanks skipped; an empty long name
// changes nothing).
std::string makeAbsolute(std::string_view name);

// The first 1023 characters with every "_" made a blank and every "%20" one blank.
std::string cleanTitle(std::string_view title);

// Without leading and trailing white space.
std::string_view stripped(std::string_view text);

}  // namespace vexa::playlist
