#pragma once
// The values of the extended-information keys the plug-in answers: "title", "artist", "album",
// "genre", "year", "comment", "length" (ms, decimal), "bitrate" (kbit/s), "type" ("1" when the
// file holds a picture stream other than cover art, else "0"). A local file is read through
// media_info.h on the calling thread; a network address is never opened: it answers its own
// address as title, "-1" as length and "0" as type, and nothing else.
// Error policy: an unknown key or an unreadable file answers an empty optional; never throws
// except std::bad_alloc.

#include <optional>
#include <string>
#include <string_view>

namespace kinvo::in_av {

std::optional<std::string> extendedInfo(const std::string& file, std::string_view key);

}  // namespace kinvo::in_av
