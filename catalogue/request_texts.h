#pragma once
// The words the browser and the data server speak to each other, byte for byte: the paths, the
// query keys and values, the request pieces the browser concatenates, and the answers and
// category names both sides compare with. The browser builds its requests from the pieces; the
// data server reads the same keys back (paths and keys without regard to ASCII letter case).

#include <string_view>

#include "catalogue/text_join.h"

namespace kinvo::wire {

inline constexpr std::string_view kScheme = "http://";  // put in front of addresses without one

// Paths on the data server.
inline constexpr std::string_view kDiscoveryPath = "/redirect35.asp";  // answers the host to ask
inline constexpr std::string_view kVersionPath = "/reg.asp";
inline constexpr std::string_view kCataloguePath = "/kinvo39.asp";
// Pages the browser opens in the user's web browser.
inline constexpr std::string_view kQuickHelpPath = "/help/kinvo/index.htm";
inline constexpr std::string_view kQuickTimeHelpPath = "/qt.htm";
inline constexpr std::string_view kWindowsMediaHelpPath = "/microsoft.htm";
inline constexpr std::string_view kRealPlayerHelpPath = "/real.htm";
inline constexpr std::string_view kAboutPath = "/about.asp";
inline constexpr std::string_view kSupportPath = "/mailform.htm";
inline constexpr std::string_view kRatePath = "/kinvorate.asp";
// The video search's "More Results": "/search.asp?T1=" + the term, blanks as "+".
inline constexpr std::string_view kMoreResultsPath = "/search.asp";

// Query syntax.
inline constexpr std::string_view kQueryStart = "?";
inline constexpr std::string_view kJoin = "&";
inline constexpr std::string_view kIs = "=";

// Query keys.
inline constexpr std::string_view kVersionCheckKey = "VER";
inline constexpr std::string_view kProductKey = "P";
inline constexpr std::string_view kVersionKey = "V";
inline constexpr std::string_view kRequestKey = "T1";  // what /kinvo39.asp lists; a search's words
inline constexpr std::string_view kCategoryKey = "T2";
inline constexpr std::string_view kMinBandwidthKey = "MINBPS";  // kbps, inclusive
inline constexpr std::string_view kMaxBandwidthKey = "MAXBPS";
inline constexpr std::string_view kSearchKey = "SEARCH";
inline constexpr std::string_view kStatsKey = "STATS";
inline constexpr std::string_view kAddressKey = "U";  // last, unescaped: the rest is the address
inline constexpr std::string_view kStationNameKey = "S";  // the rate page's station, last too

// Query values.
inline constexpr std::string_view kOn = "1";  // VER=1, SEARCH=1, STATS=1
inline constexpr std::string_view kProductCode = "T";
inline constexpr std::string_view kCategoryNamesRequest = "CLASS_TV";
inline constexpr std::string_view kListRequest = "LIST_TV";
inline constexpr std::string_view kBroadbandMinimum = "100";
inline constexpr std::string_view kDialupMaximum = "56";

// The pieces the browser concatenates.
// "/reg.asp?VER=1&P=" + product code + "&V=" + version.
inline constexpr std::string_view kVersionRequest =
    join<kVersionPath, kQueryStart, kVersionCheckKey, kIs, kOn, kJoin, kProductKey, kIs>;
inline constexpr std::string_view kVersionParameter = join<kJoin, kVersionKey, kIs>;
// "/kinvo39.asp?" + "P=T&T1=" + CLASS_TV or LIST_TV + ...
inline constexpr std::string_view kCatalogueRequest = join<kCataloguePath, kQueryStart>;
inline constexpr std::string_view kCatalogueProduct =
    join<kProductKey, kIs, kProductCode, kJoin, kRequestKey, kIs>;
inline constexpr std::string_view kCategoryParameter = join<kJoin, kCategoryKey, kIs>;
// "/kinvo39.asp?" + "P=T&SEARCH=1&T1=" + the search's words + ...
inline constexpr std::string_view kSearchProduct =
    join<kProductKey, kIs, kProductCode, kJoin, kSearchKey, kIs, kOn, kJoin, kRequestKey, kIs>;
// The connection classes' endings, each followed by the version.
inline constexpr std::string_view kBroadbandEnding =
    join<kJoin, kMinBandwidthKey, kIs, kBroadbandMinimum, kVersionParameter>;
inline constexpr std::string_view kAllContentEnding = kVersionParameter;
inline constexpr std::string_view kDialupEnding =
    join<kJoin, kMaxBandwidthKey, kIs, kDialupMaximum, kVersionParameter>;
// "/kinvo39.asp?STATS=1&U=" + address.
inline constexpr std::string_view kStatsRequest =
    join<kCatalogueRequest, kStatsKey, kIs, kOn, kJoin, kAddressKey, kIs>;
// "/about.asp?P=" + product code; "/kinvorate.asp?S=" + station name.
inline constexpr std::string_view kAboutRequest = join<kAboutPath, kQueryStart, kProductKey, kIs>;
inline constexpr std::string_view kRateRequest = join<kRatePath, kQueryStart, kStationNameKey, kIs>;

// Answers.
inline constexpr std::string_view kVersionRejected = "Version NO";
inline constexpr std::string_view kVersionAccepted = "Version OK";  // anything else passes too
inline constexpr std::string_view kCategorySeparator = "|";         // between category names

// Categories. The browser adds its own entries to the server's names; the server never offers a
// category the browser would take for one of them.
inline constexpr std::string_view kMostPopularStations = "Most Popular Stations";  // the server's
inline constexpr std::string_view kVideoSearch = "Video Search";
inline constexpr std::string_view kFavoritesMarker = "FAVORITES";  // matched in capitals
// Shown first by the browser; listed by the server for an empty category name.
inline constexpr std::string_view kDefaultCategory = "Music/Entertainment";

}  // namespace kinvo::wire
