#pragma once
// The rules in_mova applies to the names it is given. Pure; letter case never matters. A rule
// that looks for "\" as a folder separator takes "/" as well.

#include <optional>
#include <string>
#include <string_view>

namespace kinvo::in_mova {

// Ends with ".m4p": a protected file, which needs a newer runtime and gives no information.
bool isProtectedName(std::string_view name) noexcept;
// Begins with "rtsp:", "ftp:" or "http:".
bool isNetworkAddress(std::string_view name) noexcept;
bool isRtspAddress(std::string_view name) noexcept;
// The address the runtime opens: a network address unchanged (only for playback; nullopt
// otherwise), any other name as "file://" + name.
std::optional<std::string> movieAddress(std::string_view name, bool forPlay);
// The part after the last "\" or "/" (the whole name when it has neither).
std::string fallbackTitle(std::string_view name);
bool sameName(std::string_view a, std::string_view b) noexcept;

}  // namespace kinvo::in_mova
