#pragma once
// The importers compare keys, extensions and markers without regard to ASCII letter case.

#include <string>
#include <string_view>

namespace kinvo::ds {

// The text with ASCII capitals made small; every other byte as it is.
std::string lower(std::string_view text);

}  // namespace kinvo::ds
