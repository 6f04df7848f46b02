#pragma once
// The texts of the catalogue's document and of station tags, byte for byte. The browser's own
// table (texts.h) includes these, so every text still stands in one place.

#include <string_view>

namespace kinvo::texts {

inline constexpr std::string_view kUnknown = "Unknown";  // infoText sent as "0"
inline constexpr std::string_view kAdultMarker = "ADULT";

// A catalogue entry, as the data server writes it and the browser cuts it:
//   <a href="ADDRESS">INFO~~EXTRA@@NAME##BANDWIDTH%%TIME!!RATING**NOTES</a><br>
// A search entry ends after TIME: ...%%SECONDS</a><br>.
inline constexpr std::string_view kEntryOpen = "<a href=\"";
inline constexpr std::string_view kAddressEnd = "\">";
inline constexpr std::string_view kInfoEnd = "~~";
inline constexpr std::string_view kExtraEnd = "@@";
inline constexpr std::string_view kNameEnd = "##";
inline constexpr std::string_view kBandwidthEnd = "%%";
inline constexpr std::string_view kTimeEnd = "!!";
inline constexpr std::string_view kRatingEnd = "**";
inline constexpr std::string_view kEntryClose = "</a><br>\r\n";

// Station tag separators: infoText!!!extraText###address%%%timeText.
inline constexpr std::string_view kTagExtra = "!!!";
inline constexpr std::string_view kTagAddress = "###";
inline constexpr std::string_view kTagTime = "%%%";

}  // namespace kinvo::texts
