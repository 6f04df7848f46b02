#pragma once
// Starting a station: the start event of the station list (double click, Space, Enter),
// PlayStation, and the station-start notification StatsPing that tells the data server which
// station is watched.
//
// Failures are not reported: the notification's answer is never looked at, and a start goes on
// whatever it brought. User-interface thread only; GetDoc lets window events run.

#include <string>
#include <string_view>

namespace kinvo {

class CategoryBox;
class DocFetcher;
class StationPlayer;
class Prompts;
class ShellOpener;
class StationView;
struct ProgramState;
struct StationLists;

// The address a play key names: a StationTag's address (between the first "###" and the next
// "%%%"), or the key itself when it is a bare address. Still in the catalogue's shift.
std::string stationAddress(std::string_view key);

// "http://" + dataServer + "/kinvo39.asp?STATS=1&U=" + address, the address unescaped.
std::string statsPingRequest(std::string_view dataServer, std::string_view address);

// The window caption while a station plays: "Kinvo! 3.9 | " + name.
std::string stationCaption(std::string_view name);

class StationStarter {
  public:
    struct Parts {
        ProgramState& state;
        DocFetcher& fetcher;
        StationLists& lists;
        CategoryBox& comboS;
        StationView& view;
        StationPlayer& player;
        ShellOpener& shell;
        Prompts& prompts;
    };

    explicit StationStarter(Parts parts) : p_(parts) {}

    // Starts the current station of lstStations, if there is one; then opens and empties any
    // pending help page.
    void start();
    // Stops the player, notifies the data server (except for "Video Search" and "Music Video")
    // and builds the page for key (a StationTag or a bare address).
    void PlayStation(std::string_view key, std::string_view name);
    // Sends the station-start notification for a decoded address.
    void StatsPing(std::string_view address);

  private:
    Parts p_;
};

}  // namespace kinvo
