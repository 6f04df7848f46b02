#pragma once
// The browser's command line:
//   --discovery URL          the discovery address (default http://127.0.0.1:8639/redirect35.asp)
//   --connect-to HOST:PORT   connect every data-server request there; address and Host header
//                            stay as built. Without it, a data server on the discovery address's
//                            own host is reached through the discovery address's port (the
//                            discovered name carries no port, and port 80 needs privileges).
//   --print-category NAME    no window: discover, choose the category, print its stations.
//   --search TERM            no window: discover, run the video search, print its results as
//                            --print-category does (exit 65 when the term is too short).
//   --player-page ADDRESS    no window: build the player page for a catalogue address (still in
//                            the catalogue's shift) with the stored settings, write viewtemp.htm
//                            to the program folder and print its path; exit 3 when the chosen
//                            player is missing (its question goes to stderr).
//   --play ADDRESS           with the window: once started, play that catalogue address as a
//                            station of the list would be played.
//   --zoom 33|50|75|100      the player's width for --player-page and --play (default 50).
//   --category TEXT          the category box's text for --player-page ("Video Search" shows
//                            the players' controls).

#include "browser/core/doc_fetcher.h"

#include <optional>
#include <string>
#include <vector>

namespace kinvo {

struct BrowserOptions {
    std::string discoveryAddress;
    ConnectTarget connectTo;  // where data-server requests go (see above)
    std::optional<std::string> printCategory;
    std::optional<std::string> search;
    std::optional<std::string> playerPage;
    std::optional<std::string> play;
    int zoomPercent = 50;
    std::string category;
};

struct ParsedOptions {
    std::optional<BrowserOptions> options;  // nullopt on a usage error
    std::string error;                      // the message for a usage error
};

// args are the arguments after the program name, as bytes.
ParsedOptions parseBrowserOptions(const std::vector<std::string>& args);

}  // namespace kinvo
