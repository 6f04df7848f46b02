#pragma once
// Every text the browser's data side shows or sends, byte for byte, in one place. The words it
// shares with the data server stand in catalogue/request_texts.h; they appear here by name.

#include "catalogue/catalogue_texts.h"
#include "catalogue/request_texts.h"

#include <cstdint>
#include <string_view>

namespace kinvo::texts {

// Program identity.
inline constexpr std::string_view kTitle = "Kinvo!";  // message box captions, settings application
inline constexpr std::string_view kVersion = "3.9";
inline constexpr std::string_view kProductCode = wire::kProductCode;

// Settings store addressing.
inline constexpr std::string_view kSettingsApplication = "Kinvo!";
inline constexpr std::string_view kSettingsSection = "Settings";

// The support address named in the give-up message (the vendor's web pages are on the
// discovery address's site, web_links.h).
inline constexpr std::string_view kSupportEmail = "support@kinvo.example";

// Discovery and version check.
inline constexpr std::string_view kDefaultDataServer = "127.0.0.1:8639";
inline constexpr std::string_view kDefaultDiscoveryAddress =
    join<wire::kScheme, kDefaultDataServer, wire::kDiscoveryPath>;
inline constexpr std::string_view kFindingDataServers = "Finding Data Servers...";
inline constexpr std::string_view kDone = "Done";
inline constexpr std::string_view kCheckingVersion = "Checking Version...";
inline constexpr std::string_view kVersionRejected = wire::kVersionRejected;
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
inline constexpr std::string_view kScheme = wire::kScheme;
inline constexpr std::string_view kVersionPath = wire::kVersionRequest;
inline constexpr std::string_view kVersionParameter = wire::kVersionParameter;
inline constexpr std::string_view kCataloguePath = wire::kCatalogueRequest;
inline constexpr std::string_view kCatalogueProduct = wire::kCatalogueProduct;
inline constexpr std::string_view kCategoryNamesRequest = wire::kCategoryNamesRequest;
inline constexpr std::string_view kListRequest = wire::kListRequest;
inline constexpr std::string_view kCategoryParameter = wire::kCategoryParameter;
inline constexpr std::string_view kBroadbandEnding = wire::kBroadbandEnding;
inline constexpr std::string_view kAllContentEnding = wire::kAllContentEnding;
inline constexpr std::string_view kDialupEnding = wire::kDialupEnding;
inline constexpr std::string_view kCategoryNameSeparator = wire::kCategorySeparator;

// Connection classes ("Speed").
inline constexpr std::string_view kBroadband = "Broadband";
inline constexpr std::string_view kAllContent = "ALL Content";
inline constexpr std::string_view kDialup = "Dialup (56k Modem)";

// Categories.
inline constexpr std::string_view kFavorites = "Favorites";
inline constexpr std::string_view kMostPopularStations = wire::kMostPopularStations;
inline constexpr std::string_view kVideoSearch = wire::kVideoSearch;
inline constexpr std::string_view kMusicVideo = "Music Video";
inline constexpr std::string_view kDefaultCategory = wire::kDefaultCategory;
inline constexpr std::string_view kFavoritesMarker = wire::kFavoritesMarker;  // in capitals
inline constexpr std::string_view kPopularMarker = "Popular";                 // matched as written
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
inline constexpr std::string_view kStatsPath = wire::kStatsRequest;

// Favorites.
inline constexpr std::string_view kFavoriteMarker = "FAVORITE";  // matched in capitals
inline constexpr std::string_view kSelectStationsToAdd =
    "Please select stations to add to your favorites list.";
inline constexpr std::string_view kStationPrefix = "Station ";
inline constexpr std::string_view kAlreadyInFavorites = " already in favorites list.";
inline constexpr std::string_view kStationAdded =
    "Station added to favorites list, to access your favorites, select Favorites category in "
    "Category select box on station list.";
// A Favorites.lst that could not be read is moved aside and named in this message.
inline constexpr std::string_view kFavoritesDamagedFile = ".damaged-";  // + yyyymmdd-hhmmss
inline constexpr std::string_view kFavoritesKeptAs =
    "Your favorites list could not be read. The file was kept as ";
inline constexpr std::string_view kFavoritesStartEmpty = " and your favorites list starts empty.";
inline constexpr std::string_view kFavoritesNotMoved =
    "Your favorites list could not be read, and its file could not be moved aside: ";
inline constexpr std::string_view kFavoritesNotSaved =
    " is left as it is and changes to your favorites will not be saved.";

// Shell.
inline constexpr std::string_view kShellOpenFailed =
    "Error Executing Application or File Not Found";

// Player page: viewtemp.htm, its placeholders, the skeleton, the player texts and the playback
// control page. Every piece is exact; CR LF is added where the page builder says.
namespace page {

inline constexpr std::string_view kFileName = "viewtemp.htm";
inline constexpr std::string_view kLineEnd = "\r\n";

inline constexpr std::string_view kObj = "%OBJ%";
inline constexpr std::string_view kUrl = "%URL%";
inline constexpr std::string_view kBkColor = "%BKCOLOR%";
inline constexpr std::string_view kWPercent = "%WPERCENT%";
inline constexpr std::string_view kHHalf = "%HHALF%";

// Settings read by the page builder, and their defaults.
inline constexpr std::string_view kKeyBKColor = "BKColor";
inline constexpr std::int64_t kDefaultBKColor = 12582912;
inline constexpr std::string_view kKeyShowControls = "ShowControls";
inline constexpr std::int64_t kDefaultShowControls = 0;

// The skeleton, one line each (CR LF after every line).
inline constexpr std::string_view kHtml = "<html>";
inline constexpr std::string_view kBody =
    R"x(<body scrolling=no bottommargin=0 rightmargin=0 leftmargin=0 topmargin=0 margiwidth=0 marginheight=0 background="%BKCOLOR%">)x";
inline constexpr std::string_view kTable =
    R"x(<table cellpadding=0 cellspacing=0 bgcolor="%BKCOLOR%" bordercolor = "%BKCOLOR%" valign="center" height="100%" width="100%" >)x";
inline constexpr std::string_view kSpacerRow =
    R"x(<tr height="%HHALF%" bgcolor="%BKCOLOR%"><td bgcolor="%BKCOLOR%" bordercolor="%BKCOLOR%">&nbsp;</td></tr>)x";
inline constexpr std::string_view kPlayerRow = R"x(<tr bgcolor="%BKCOLOR%">)x";
inline constexpr std::string_view kPlayerCell =
    R"x(<td align="center" bgcolor="%BKCOLOR%" bordercolor="%BKCOLOR%">)x";
inline constexpr std::string_view kPlayerCellEnd = "</td></tr>";
inline constexpr std::string_view kPageEnd = "</table></body></html>";

// Download addresses: paths on the data server ("http://" + dataServer + path).
inline constexpr std::string_view kFlashCabinetPath = "/download/flash.cab";
inline constexpr std::string_view kFlashDownloadPath = "/flash.htm";
inline constexpr std::string_view kQuickTimeCabinetPath = "/download/quicktime.cab";
inline constexpr std::string_view kQuickTimeDownloadPath = wire::kQuickTimeHelpPath;
inline constexpr std::string_view kWindowsMediaCabinetPath = "/download/mediaplayer.cab";
inline constexpr std::string_view kControlCabinetPath = "/download/playback.cab";

// Flash.
inline constexpr std::string_view kFlash1 =
    R"x(<object classid="clsid:d27cdb6e-ae6d-11cf-96b8-444553540000" codebase=)x";
inline constexpr std::string_view kFlash1Version = "#version=7,0,0,0";
inline constexpr std::string_view kFlash1End =
    R"x( width="%WPERCENT%" height="100%" id="PSPlayer4">)x";
inline constexpr std::string_view kFlash2 = R"x(<param name="movie" value="%URL%">)x";
inline constexpr std::string_view kFlash3 = R"x(<param name="quality" value="high">)x";
inline constexpr std::string_view kFlash4 =
    R"x(<param name="allowScriptAccess" value="sameDomain">)x";
inline constexpr std::string_view kFlash5 =
    R"x(<embed src="%URL%" quality="high" width="%WPERCENT%" height="100%" name="PSPlayer4" type="application/x-shockwave-flash" pluginspage=)x";
inline constexpr std::string_view kFlash5End = "></embed>";
inline constexpr std::string_view kObjectEnd = "</object>";

// QuickTime.
inline constexpr std::string_view kQuickTime1 =
    R"x(<object classid="clsid:02BF25D5-8C17-4B23-BC80-D3488ABDDC6B" )x";
inline constexpr std::string_view kQuickTime2 = "codebase = ";
inline constexpr std::string_view kQuickTime3 = R"x(Width = "%WPERCENT%" )x";
inline constexpr std::string_view kQuickTime4 = R"x(height="100%"> )x";
inline constexpr std::string_view kQuickTime5 = R"x(<param name="src" value="%URL%"> )x";
inline constexpr std::string_view kQuickTime6 = R"x(<param name="autoplay" value="true"> )x";
inline constexpr std::string_view kQuickTime7 = R"x(<param name="scale" value="tofit"> )x";
inline constexpr std::string_view kQuickTime8 = R"x(<param name="controller" value="true"> )x";
inline constexpr std::string_view kQuickTime9 = R"x(<embed src="%URL%")x";
inline constexpr std::string_view kQuickTime10 = R"x(Width = "%WPERCENT%")x";
inline constexpr std::string_view kQuickTime11 = R"x(Height = "100%")x";
inline constexpr std::string_view kQuickTime12 = R"x(autoplay = "true")x";
inline constexpr std::string_view kQuickTime13 = R"x(scale = "tofit")x";
inline constexpr std::string_view kQuickTime14 = R"x(controller = "true")x";
inline constexpr std::string_view kQuickTime15 = "pluginspace=";
inline constexpr std::string_view kQuickTime16 = "</embed>";

// Windows Media (CR LF after every piece).
inline constexpr std::string_view kMedia1 =
    R"x(<object id="MediaPlayer" width="%WPERCENT%" height="100%" classid="CLSID:22d6f312-b0f6-11d0-94ab-0080c74c7e95" codebase=)x";
inline constexpr std::string_view kMedia1Version = "#Version=6,4,5,715";
inline constexpr std::string_view kMedia2 =
    R"x(standby="Loading Microsoft Windows Media Player components..." type="application/x-oleobject">)x";
inline constexpr std::string_view kMedia3 = R"x(<param name="FileName" value="%URL%">)x";
inline constexpr std::string_view kMedia4 = R"x(<param name="EnableContextMenu" value="0">)x";
inline constexpr std::string_view kMedia5 = R"x(<param name="MaintainAspect" value="true">)x";
inline constexpr std::string_view kMedia6 = R"x(<param name="ShowStatusBar" value="true">)x";
inline constexpr std::string_view kMedia7 = R"x(<param name="AutoStart" value="true">)x";
inline constexpr std::string_view kMediaControlsOn = R"x(<param name="ShowControls" value="1">)x";
inline constexpr std::string_view kMediaControlsOff = R"x(<param name="ShowControls" value="0">)x";

// RealPlayer, image window only.
inline constexpr std::string_view kReal1 =
    R"x(<object id=RMOCX name="player1"  classid="clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA")x";
inline constexpr std::string_view kReal2 = R"x(Width = "%WPERCENT%" Height = "100%" id=RMOCX>)x";
inline constexpr std::string_view kReal3 = R"x(<param name="src" value="%URL%">)x";
inline constexpr std::string_view kReal4 = R"x(<param name="autostart" value="true">)x";
inline constexpr std::string_view kReal5 = R"x(<param name="controls" value="ImageWindow">)x";

// RealPlayer, image window with a control panel row below it.
inline constexpr std::string_view kRealPanel1 =
    R"x(<object id=RMOCX name="player1" classid="clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA"  width="%WPERCENT%" height="100%" >)x";
inline constexpr std::string_view kRealConsole = R"x(<param name="console" value="_master">)x";
inline constexpr std::string_view kRealPanelRow =
    R"x(<tr valign="top" align="center" height="23" bgcolor="%BKCOLOR%"><td bgcolor="%BKCOLOR%" bordercolor="%BKCOLOR%">)x";
inline constexpr std::string_view kRealPanel8 =
    R"x(<object id=RMOCX2 classid="clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA" width="%WPERCENT%" height="23">)x";
inline constexpr std::string_view kRealPanel11 =
    R"x(<param name="controls" value="ControlPanel">)x";

// The playback control page: "<html>" and its body line, then the lines below (CR LF after each).
inline constexpr std::string_view kControlBody =
    R"x(<body onload="sonarix.Play();" onunload="DeInit();" scrolling=no bottommargin=0 rightmargin=0 leftmargin=0 topmargin=0 margiwidth=0 marginheight=0 background="0000C0">)x";
inline constexpr std::string_view kControlScriptStart = "<script language=javascript>";
inline constexpr std::string_view kControlVar = "var sonarix;";
inline constexpr std::string_view kControlWrite =
    R"x(document.writeln( "<center><OBJECT ID=\"ISonAriActiveX\" height=100% width=%WPERCENT% border=0 CLASSID=\"CLSID:7A3C0E51-9D24-4B8F-B6E2-51C9D0A4F3B8\" codebase=\")x";
inline constexpr std::string_view kControlWriteEnd =
    R"x(\" version=\"-1,-1,-1,-1\"></OBJECT></center>" );)x";
inline constexpr std::string_view kControlScript[] = {
    "function mozIVexaEvents() { }",
    "mozIVexaEvents.prototype = {",
    "SonariMsgEvent: function ( msgID ) {},",
    "SonariStatus: function( msgID, comp ) {},",
    "SonariMetaData: function( data, size ) {},",
    "QueryInterface: function(iid) {",
    "if (!iid.equals(Components.interfaces.Kelpo2MozEvents)&&",
    "!iid.equals(Components.interfaces.nsISupports)) {",
    "throw Components.results.NS_ERROR_NO_INTERFACE;",
    "}",
    "return this;",
    "},",
    R"x(val: "<devault value>")x",
    "}",
    "function onSonariMSGEvent(a) {",
    "switch(a) {",
    "case 8 : // SONARIX_EVENT_HWND_READY:",
    "var hwnd = sonarix.hwnd;",
    "sonarix.SetVideoHWND( hwnd );",
    "sonarix.Play();",
    "break;",
    "}",
    "}",
    "function onSonariStatus( a, b ) { }",
    "function onSonariMetaData( s, n ) {  }",
    "function DeInit() { sonarix.Deinitialize(); }",
    "events = new mozIVexaEvents();",
    "events.SonariMsgEvent = onSonariMSGEvent;",
    "events.SonariStatus = onSonariStatus;",
    "events.SonariMetaData = onSonariMetaData;",
    R"x(sonarix = document.getElementById("ISonAriActiveX");)x",
    "sonarix.setCallback( events );",
    "sonarix.SetCrossInstanceControl(1);",
    "sonarix.SetVideoAutoSize(0);",
    "sonarix.SetVideoLogo(0);",
    "sonarix.SetRetryParams(5,2000);",
    "sonarix.SetFallbackParams(2,300);",
    "sonarix.SetUseCustomDRMURL( 1 );",
    R"x(sonarix.AppendFileToPlaylist( "%URL%" );)x",
    "sonarix.Repeat = 1;",
    "</script>",
};

// A missing player: its question (OK and Cancel, critical icon), then the retry note (OK only).
inline constexpr std::string_view kQuickTimeQuestion =
    "Apple QuickTime Player is required to play this selection, Would you like to download this "
    "now?";
inline constexpr std::string_view kWindowsMediaQuestion =
    "Windows Media Player (version 9 or above) is required to play this selection, Would you like "
    "to download this now?";
inline constexpr std::string_view kRealPlayerQuestion =
    "RealPlayer is required to play this selection, Would you like to download this now?";
inline constexpr std::string_view kRetryAfterInstall =
    "Please retry this selection after you have installed.";
// Shown when the Windows Media probe object cannot be created.
inline constexpr std::string_view kNoObject = "noobj";
// Help pages on the data server.
inline constexpr std::string_view kQuickTimeHelpPath = wire::kQuickTimeHelpPath;
inline constexpr std::string_view kWindowsMediaHelpPath = wire::kWindowsMediaHelpPath;
inline constexpr std::string_view kRealPlayerHelpPath = wire::kRealPlayerHelpPath;

}  // namespace page

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
inline constexpr std::string_view kQuickHelpPath = wire::kQuickHelpPath;
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

// The settings dialog frmSetup.
inline constexpr std::string_view kSetupCaption = "Kinvo!";
inline constexpr std::string_view kSetupTab = " General Settings";
inline constexpr std::string_view kSetupTray = "Minimize to System Tray";
inline constexpr std::string_view kSetupAdult = "Display Stations with ADULT content";
inline constexpr std::string_view kSetupShowControls = "Display Media Player Controls";
inline constexpr std::string_view kSetupAlwaysOnTop = "Kinvo! Always On Top";
inline constexpr std::string_view kSetupFont = "Choose Display Font";
inline constexpr std::string_view kSetupSize = "Choose Size";
inline constexpr std::string_view kSetupColour = "Choose Background Color";
inline constexpr std::string_view kSetupSpeed = "Choose Connection Type";
inline constexpr std::string_view kSetupOk = "&OK";
inline constexpr std::string_view kSetupCancel = "&Cancel";
inline constexpr std::string_view kColourDialogTitle = "Color";
inline constexpr std::string_view kEnterPassword = "Enter password:";
// The adult-content lock's password, compared without regard to case. It is told to the user;
// the lock itself is only the stored "AdultSettings" flag.
inline constexpr std::string_view kAdultPassword = "QORMAVELTS";
inline constexpr std::string_view kNewPassword = "The new passowrd is : QORMAVELTS";
inline constexpr std::string_view kRestartForSetting =
    "Please close and restart Kinvo! for new setting";
inline constexpr std::string_view kKeyShowControls = page::kKeyShowControls;

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

// The video search dialog.
inline constexpr std::string_view kSearchCaption = "Kinvo Internet Video Search";
inline constexpr std::string_view kSearchLabel = "Search : ";
inline constexpr std::string_view kSearchButton = "&Search";
inline constexpr std::string_view kSearchButtonAfterNothing = "OK";
inline constexpr std::string_view kSearchTipsHeading = "Search Tips";
inline constexpr std::string_view kSearchTipGeneric =
    "Try generic terms first, and then more specific ones.";
inline constexpr std::string_view kSearchTipPartial =
    "Try searching for a partial name such as an actor/author's last name only or for the name "
    "of a band rather than a specific song.";
inline constexpr std::string_view kSearchTipSubject =
    "Try searching by subject, for example comedy will return comedy related videos.";
inline constexpr std::string_view kSearchMoreResults = "More Results";
inline constexpr std::string_view kSearchTermTooShort = "Search term must be at least 4 letters.";
inline constexpr std::string_view kSearchNothingFound =
    "0 results found.  Please check your spelling or try to search a more general term.  If your "
    "results are not found, please check back as we update content every week.";
inline constexpr std::string_view kSearchProduct = wire::kSearchProduct;

// The About box.
inline constexpr std::string_view kAboutCaption = "About";
inline constexpr std::string_view kAboutOk = "&OK";

}  // namespace kinvo::texts
