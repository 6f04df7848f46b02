#pragma once
// The answers the browser parses: discovery, version check, and the catalogue requests of
// /kinvo39.asp (category names, category lists, the popular list, search, station starts).
// Each returns the whole body; an unknown or broken request gets an empty list, never an error.
// A list request for a category the catalogue lacks (or an empty name, or one starting with
// "_") gets the default category's list, else that of the first category with stations in the
// class, so a first start never shows an empty list while the class has stations.
//
// Errors: DbError from the store passes through (Responder answers such a request with an
// empty body).

#include <cstdint>
#include <optional>
#include <string>

#include "dataserver/server/query.h"
#include "dataserver/server/server_settings.h"
#include "dataserver/store/catalogue.h"

namespace kinvo::ds {

std::string discoveryAnswer(const ServerSettings& settings);
std::string versionAnswer(const Query& query, const ServerSettings& settings);

// What a /kinvo39.asp request asks for.
enum class CatalogueRequest { StationStart, Search, CategoryNames, List, Unknown };
CatalogueRequest catalogueRequest(const Query& query);

std::string categoryNamesAnswer(Catalogue& catalogue);
std::string listAnswer(Catalogue& catalogue, const Query& query, const ServerSettings& settings);
std::string searchAnswer(Catalogue& catalogue, const Query& query, const ServerSettings& settings);
// The station a start names, trying the address as sent, unescaped and without "http://";
// nullopt when none is known.
std::optional<std::int64_t> startedStation(Catalogue& catalogue, const Query& query);
// Whether the list a request asks for may be the popular list (which station starts change).
bool mayBePopularList(const Query& query, const ServerSettings& settings);

// The classes the browser sends: MINBPS and MAXBPS as inclusive bounds.
BandwidthFilter bandwidthFilter(const Query& query);

// What F6 and F7 show for a station: listeners' mean rating (rounded) and newest note first,
// then the catalogue's own, else "None".
std::string shownRating(const StationListing& station);
std::string shownNotes(const StationListing& station);

// Negative, zero or positive as dotted version a is below, equal to or above b; a part that is
// not a number counts as below every number.
int compareVersions(std::string_view a, std::string_view b);

}  // namespace kinvo::ds
