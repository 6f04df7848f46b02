#pragma once
// The values the catalogue keeps per station, as the importers hand them over and as the
// server reads them back. All texts are bytes, exactly as they will be sent.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace kinvo::ds {

struct StationInput {
    std::string category;
    std::string name;
    std::string address;
    std::string info;
    std::string extra;
    std::int64_t bandwidth = 0;  // kbps
    std::string timeText;        // sent as is in catalogue lists
    std::int64_t seconds = 0;    // play time, sent in search answers; 0 unknown or live
    std::string rating;          // the catalogue's own rating, shown until listeners rate
    std::string notes;           // the catalogue's own notes, shown until listeners leave notes
    std::string tags;            // searched, never sent
    std::string logo;
    bool adult = false;
};

struct StationListing {
    std::int64_t id = 0;
    std::string category;
    std::string address;
    std::string info;
    std::string extra;
    std::string name;
    std::int64_t bandwidth = 0;
    std::string timeText;
    std::int64_t seconds = 0;
    std::string rating;
    std::string notes;
    std::int64_t starts = 0;
    std::int64_t listenerRatings = 0;          // how many ratings were stored
    std::optional<double> listenerRatingMean;  // their mean, when there are any
    std::optional<std::string> listenerNote;   // the newest non-empty listener note
};

// Inclusive bounds on a station's bandwidth in kbps; a station of unknown bandwidth (0) is in
// every class.
struct BandwidthFilter {
    std::int64_t min = 0;
    std::int64_t max = std::numeric_limits<std::int64_t>::max();
};

// The catalogue's change counters (bumped in the same transaction as each change): equal
// versions read from the same file mean equal answers.
struct CatalogueVersion {
    std::int64_t generation = 0;  // categories, stations, ratings
    std::int64_t starts = 0;      // station starts
    bool operator==(const CatalogueVersion&) const = default;
};

// One station start, counted in memory before it is written.
struct StationStart {
    std::int64_t stationId = 0;
    std::int64_t at = 0;  // seconds since the epoch
};

struct SupportMessage {
    std::int64_t id = 0;
    std::string name;
    std::string email;
    std::string subject;
    std::string body;
    std::string remote;
    std::int64_t sentAt = 0;  // seconds since the epoch
};

}  // namespace kinvo::ds
