#include "browser/core/station_details.h"

#include "browser/core/numeric_value.h"
#include "browser/core/sb_list.h"
#include "browser/core/texts.h"
#include "catalogue/station_record.h"

#include <algorithm>

namespace kinvo {

std::string playTimeText(std::string_view timeText) {
    const double value = numericValue(timeText);
    // A negative play time is no play time: minutes and seconds of it would read "0:-5".
    if (value == 0 || value < 0) {
        return std::string(texts::kTimeUnknown);
    }
    const std::int64_t seconds = roundToWhole(value);
    const std::int64_t remainder = seconds % 60;
    std::string text(texts::kTimePrefix);
    text.append(std::to_string(seconds / 60)).append(texts::kTimeSeparator);
    if (remainder < 10) {
        text.push_back('0');
    }
    return text.append(std::to_string(remainder)).append(texts::kTimeSuffix);
}

std::string bandwidthText(std::int64_t kbps) {
    if (kbps < 1) {
        return std::string(texts::kBandwidthUnknown);
    }
    return std::string(texts::kBandwidthPrefix)
        .append(std::to_string(kbps))
        .append(texts::kBandwidthSuffix);
}

std::string notesText(std::string_view companionTag) {
    if (companionTag.find(texts::kNoNotesMarker) != std::string_view::npos) {
        return std::string(texts::kNoComments);
    }
    return std::string(companionTag.substr(0, companionTag.find(texts::kNotesRating)));
}

int ratingMarks(std::string_view companionTag) {
    const std::size_t separator = companionTag.find(texts::kNotesRating);
    const std::string_view rating =
        separator == std::string_view::npos
            ? std::string_view()
            : companionTag.substr(separator + texts::kNotesRating.size());
    const std::int64_t marks = roundToWhole(numericValue(rating));
    return static_cast<int>(std::clamp<std::int64_t>(marks, 0, kRatingMarks));
}

std::optional<StationDetails> stationDetails(const SBList& lstStations, int index,
                                             const SBList& lstStations2, bool searchMode) {
    if (index < 0 || index >= lstStations.count()) {
        return std::nullopt;
    }
    const std::string& tag = lstStations.tag(index);
    StationDetails details;
    if (searchMode) {
        const std::size_t time = tag.find(texts::kTagTime);
        details.playTime =
            playTimeText(time == std::string::npos
                             ? std::string_view()
                             : std::string_view(tag).substr(time + texts::kTagTime.size()));
    }
    details.bandwidth = bandwidthText(lstStations.number(index));
    const std::optional<StationTagFields> fields = SplitStationTag(tag);
    const int companion = fields ? lstStations2.findByText(fields->address) : -1;
    if (companion < 0) {
        return details;
    }
    const std::string& companionTag = lstStations2.tag(companion);
    details.notes = notesText(companionTag);
    details.ratingMarks = ratingMarks(companionTag);
    return details;
}

}  // namespace kinvo
