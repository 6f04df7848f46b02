#pragma once
// Every text the browser's data side shows or sends, byte for byte, in one place.

#include <string_view>

namespace kinvo::texts {

// Program identity.
inline constexpr std::string_view kTitle = "Kinvo!";  // message box captions, settings application
inline constexpr std::string_view kVersion = "3.9";
inline constexpr std::string_view kProductCode = "T";

// Settings store addressing.
inline constexpr std::string_view kSettingsApplication = "Kinvo!";
inline constexpr std::string_view kSettingsSection = "Settings";

// Vendor addresses named in the discovery messages.
inline constexpr std::string_view kVendorWebAddress = "http://www.kinvo.example";
inline constexpr std::string_view kSupportEmail = "support@kinvo.example";

// Discovery and version check.
inline constexpr std::string_view kDefaultDiscoveryAddress = "http://127.0.0.1:8639/redirect35.asp";
inline constexpr std::string_view kFindingDataServers = "Finding Data Servers...";
inline constexpr std::string_view kDone = "Done";
inline constexpr std::string_view kCheckingVersion = "Checking Version...";
inline constexpr std::string_view kVersionRejected = "Version NO";
inline constexpr std::string_view kOutOfDate =
    "This version is out of date and may not function correctly.";
inline constexpr std::string_view kPleaseVisit = "Please visit ";
inline constexpr std::string_view kForNewestVersion = " for the newest version.";
inline constexpr std::string_view kUnableToContact =
    "Unable to contact data server, please be sure you are connected to the Internet.";
inline constexpr std::string_view kRetryQuestion =
    "Click OK to retry, Cancel to quit or configure Kinvo! to use a firewall.";
inline constexpr std::string_view kFirewallQuestion = "Would you like to configure firewall setup?";
inline constexpr std::string_view kCannotContinue = "Program cannot continue, please contact ";
inline constexpr std::string_view kForSystemStatus = " for system status.";

// Requests to the data server, built by plain concatenation.
inline constexpr std::string_view kScheme = "http://";
inline constexpr std::string_view kVersionPath = "/reg.asp?VER=1&P=";
inline constexpr std::string_view kVersionParameter = "&V=";
inline constexpr std::string_view kCataloguePath = "/kinvo39.asp?";
inline constexpr std::string_view kCatalogueProduct = "P=T&T1=";
inline constexpr std::string_view kCategoryNamesRequest = "CLASS_TV";
inline constexpr std::string_view kListRequest = "LIST_TV";
inline constexpr std::string_view kCategoryParameter = "&T2=";
inline constexpr std::string_view kBroadbandEnding = "&MINBPS=100&V=";
inline constexpr std::string_view kAllContentEnding = "&V=";
inline constexpr std::string_view kDialupEnding = "&MAXBPS=56&V=";

// Connection classes ("Speed").
inline constexpr std::string_view kBroadband = "Broadband";
inline constexpr std::string_view kAllContent = "ALL Content";
inline constexpr std::string_view kDialup = "Dialup (56k Modem)";

// Categories.
inline constexpr std::string_view kFavorites = "Favorites";
inline constexpr std::string_view kMostPopularStations = "Most Popular Stations";
inline constexpr std::string_view kVideoSearch = "Video Search";
inline constexpr std::string_view kMusicVideo = "Music Video";
inline constexpr std::string_view kDefaultCategory = "Music/Entertainment";
inline constexpr std::string_view kFavoritesMarker = "FAVORITES";  // matched in capitals
inline constexpr std::string_view kPopularMarker = "Popular";      // matched as written
inline constexpr std::string_view kCacheExtension = ".chz";
inline constexpr std::string_view kFavoritesFile = "Favorites.lst";

// Station list.
inline constexpr std::string_view kLoadingStations = "Loading Stations";
inline constexpr std::string_view kItemsSuffix = " Items";
inline constexpr std::string_view kNoFavorites =
    "No current favorite stations- please select stations from any category and click 'Add to "
    "Favorites'";
inline constexpr std::string_view kUnknown = "Unknown";
inline constexpr std::string_view kAdultMarker = "ADULT";

// Station tag separators and the companion list's tag separator.
inline constexpr std::string_view kTagExtra = "!!!";
inline constexpr std::string_view kTagAddress = "###";
inline constexpr std::string_view kTagTime = "%%%";
inline constexpr std::string_view kNotesRating = "||";

// Shell.
inline constexpr std::string_view kShellOpenFailed = "Error Executing Application or File Not Found";

// Settings keys and the defaults their readers here use.
inline constexpr std::string_view kKeySpeed = "Speed";
inline constexpr std::string_view kKeyAdultSettings = "AdultSettings";
inline constexpr std::string_view kKeyLastFormat = "LastFormat";
inline constexpr std::string_view kKeyLastStation = "LastStation";

}  // namespace kinvo::texts
