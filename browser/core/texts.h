#pragma once
// Every text the browser's data side shows or sends, byte for byte, in one place.

#include "catalogue_texts.h"

#include <cstdint>
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

// The companion list's tag separator (the station tag's separators are in catalogue_texts.h).
inline constexpr std::string_view kNotesRating = "||";

// Station details.
inline constexpr std::string_view kTimePrefix = "Time : [";
inline constexpr std::string_view kTimeSeparator = ":";
inline constexpr std::string_view kTimeSuffix = "]";
inline constexpr std::string_view kTimeUnknown = "Time : [??:??]";
inline constexpr std::string_view kBandwidthPrefix = "Bandwidth : ";
inline constexpr std::string_view kBandwidthSuffix = "kbps";
inline constexpr std::string_view kBandwidthUnknown = "Bandwidth : ? kbps";
inline constexpr std::string_view kNoNotesMarker = "None||";
inline constexpr std::string_view kNoComments =
    "No comments, Click the RATE icon on the left to add notes and rate this station.";

// Starting a station.
inline constexpr std::string_view kConnecting = "Connecting...";
inline constexpr std::string_view kCaptionSeparator = " | ";  // "Kinvo! 3.9 | name"
inline constexpr std::string_view kStatsPath = "/kinvo39.asp?STATS=1&U=";

// Favorites.
inline constexpr std::string_view kFavoriteMarker = "FAVORITE";  // matched in capitals
inline constexpr std::string_view kSelectStationsToAdd =
    "Please select stations to add to your favorites list.";
inline constexpr std::string_view kStationPrefix = "Station ";
inline constexpr std::string_view kAlreadyInFavorites = " already in favorites list.";
inline constexpr std::string_view kStationAdded =
    "Station added to favorites list, to access your favorites, select Favorites category in "
    "Category select box on station list.";

// Shell.
inline constexpr std::string_view kShellOpenFailed =
    "Error Executing Application or File Not Found";

// Settings keys and the defaults their readers here use.
inline constexpr std::string_view kKeySpeed = "Speed";
inline constexpr std::string_view kKeyAdultSettings = "AdultSettings";
inline constexpr std::string_view kKeyLastFormat = "LastFormat";
inline constexpr std::string_view kKeyLastStation = "LastStation";

// Start-up and shutdown.
inline constexpr std::string_view kStarting = "Starting..";
inline constexpr std::string_view kColourWarning =
    "Warning, many of the stations will not apear correctly using 256 colors or less.  Please "
    "change your colors to more than 256.";
inline constexpr std::string_view kQuickHelpPath = "/help/kinvo/index.htm";
inline constexpr std::string_view kCaptionVersionSeparator = " v";
inline constexpr std::string_view kAdultQuestion =
    "ATTENTION : Kinvo! may contain some Adult Content, do you wish to view Adult Content?";
inline constexpr std::string_view kAdultLockNotice =
    "Your settings have been saved, if you wish to change your preferences you will need to "
    "enter the password QORMAVELTS when prompted.";
inline constexpr std::string_view kKeyQHShow = "QHShow";
inline constexpr std::string_view kKeyWidth = "Width";
inline constexpr std::string_view kKeyHeight = "Height";
inline constexpr std::string_view kKeyTop = "Top";
inline constexpr std::string_view kKeyLeft = "Left";
inline constexpr std::string_view kKeyAlwaysOnTop = "AlwaysOnTop";
inline constexpr std::string_view kKeyTray = "Tray";
inline constexpr std::string_view kKeyFont = "Font";
inline constexpr std::string_view kKeyFontSize = "FontSize";
inline constexpr std::string_view kKeyBKColor = "BKColor";
inline constexpr std::int64_t kDefaultBKColor = 12582912;

// The vendor as the Help menu names it.
inline constexpr std::string_view kVendorName = "Kinvo Online";

// The connection-type dialog frmConn.
inline constexpr std::string_view kConnCaption = "Choose Connection";
inline constexpr std::string_view kConnAllHeading = "ALL Content";
inline constexpr std::string_view kConnAllText =
    "Show me ALL content regardless of quality.  Be sure to pay attention to each stations "
    "BANDWIDTH rating.  The higher the bandwidth rating, the better the quality";
inline constexpr std::string_view kConnBroadbandHeading = "High Quality DSL/CABLE";
inline constexpr std::string_view kConnBroadbandText =
    "Show me ONLY the highest quality content compatible with BROADBAND connections such as DSL "
    "and Cable Modem.";
inline constexpr std::string_view kConnDialupHeading = "Phone Modem (Low Quality)";
inline constexpr std::string_view kConnDialupText =
    "Show me only LOW bandwidth content designed for telephone modem connections.";
inline constexpr std::string_view kConnRefusal = "Please select a connection type.";

// The main window: tray, volume display, picture buttons.
inline constexpr std::string_view kTrayTooltipSeparator = " ";
inline constexpr std::string_view kVolumeCaption = "Volume";
inline constexpr std::string_view kVolumeMark = "|    ";
inline constexpr std::string_view kAddToFavoritesCaption = "Add to Favorites";
inline constexpr std::string_view kAddToFavoriteLargeFonts = "Add to Favorite";
inline constexpr std::string_view kAddToFavoritesTip =
    "Add selected stations to your favorites list";
inline constexpr std::string_view kVideoSearchCaption = "Internet Video Search";
inline constexpr std::string_view kVideoSearchTip = "Search for video on the Internet";
inline constexpr std::string_view kRateCaption = "Rate";
inline constexpr std::string_view kRateTip = "Rate this station or add comments";
inline constexpr std::string_view kSelectCategory = "Click to Select Category";

}  // namespace kinvo::texts
