#pragma once
// One catalogue station, and the way a station is held in a list item: shown text = name,
// tag = infoText + "!!!" + extraText + "###" + address + "%%%" + timeText, number = bandwidth.
// All texts are bytes as the catalogue sent them (the address still shifted).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kinvo {

struct StationRecord {
    std::string address;  // link target, still in the catalogue's character shift
    std::string infoText;
    std::string extraText;
    std::string name;            // decoded; the text a list shows
    std::int64_t bandwidth = 0;  // kbps
    std::string timeText;        // search results: play time in whole seconds
    std::string rating;          // catalogue lists only
    std::string notes;           // catalogue lists only; decoded

    bool operator==(const StationRecord&) const = default;
};

// The tag under which a station is held in a list.
std::string StationTag(const StationRecord& station);

// The fields a tag carries, taken back out of it.
struct StationTagFields {
    std::string infoText;
    std::string extraText;
    std::string address;
    std::string timeText;
};

// The address is the text between the first "###" and the following "%%%"; the time is the text
// after that "%%%"; infoText and extraText come before "###", split at the first "!!!".
// nullopt when the tag lacks "###" or the "%%%" after it.
std::optional<StationTagFields> SplitStationTag(std::string_view tag);

}  // namespace kinvo
