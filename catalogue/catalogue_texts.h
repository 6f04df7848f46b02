#pragma once
// The texts of the catalogue's document and of station tags, byte for byte. The browser's own
// table (texts.h) includes these, so every text still stands in one place.

#include <string_view>

namespace kinvo::texts {

inline constexpr std::string_view kUnknown = "Unknown";  // infoText sent as "0"
inline constexpr std::string_view kAdultMarker = "ADULT";

// Station tag separators: infoText!!!extraText###address%%%timeText.
inline constexpr std::string_view kTagExtra = "!!!";
inline constexpr std::string_view kTagAddress = "###";
inline constexpr std::string_view kTagTime = "%%%";

}  // namespace kinvo::texts
