#pragma once
// What an item click on the station list shows of a station: its play time (search results
// only), its bandwidth, and, from the companion list lstStations2, its notes and rating marks.
// Pure functions of the lists; the window puts the texts into lblLen, lblBandwidth, lblNotes and
// the five marks pr1. A station the companion list does not know (a favorite, a search result,
// a station of another category) shows no notes and no marks: the panel never goes on showing
// the station clicked before.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kinvo {

class SBList;

inline constexpr int kRatingMarks = 5;

// "Time : [m:ss]" for a play time in seconds; "Time : [??:??]" when the text's numeric value is
// 0 (empty, not a number) or below 0.
std::string playTimeText(std::string_view timeText);

// "Bandwidth : 300kbps"; "Bandwidth : ? kbps" for a number below 1.
std::string bandwidthText(std::int64_t kbps);

// companionTag is notes + "||" + rating. The notes, or the no-comments hint when the tag holds
// "None||".
std::string notesText(std::string_view companionTag);

// How many marks the rating after the first "||" shows: its numeric value to the nearest whole
// number, 0 to 5.
int ratingMarks(std::string_view companionTag);

struct StationDetails {
    std::optional<std::string> playTime;  // only in search mode
    std::string bandwidth;
    // From the lstStations2 item whose text is the station's address; empty and 0 when there is
    // none.
    std::string notes;
    int ratingMarks = 0;
};

// The details of item index of lstStations; nullopt when there is no such item.
std::optional<StationDetails> stationDetails(const SBList& lstStations, int index,
                                             const SBList& lstStations2, bool searchMode);

}  // namespace kinvo
