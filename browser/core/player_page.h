#pragma once
// The player page builder: plays a station by writing viewtemp.htm into the program folder and
// showing it in Web1, after checking once per run that the chosen player is installed. Also
// the Stop entry and the zoom entries' rebuild.
//
// Error policy: no step stops a build. A page that cannot be written leaves the earlier file in
// place (it is replaced in one step, never truncated first) and Web1 is still sent to the path;
// a missing player is reported with its question and never gives a page.
// User-interface thread only.

#include "browser/core/player_page_text.h"
#include "browser/core/station_player.h"

#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace kinvo {

class CategoryBox;
class PlayerProbes;
class PlayerView;
class Prompts;
class SettingsStore;
class ShellOpener;
class WebView;
struct ProgramState;

// The run's player checks: each goes from false to true once its probe succeeds, never back.
struct PlayerFlags {
    bool quickTimeConfirmed = false;
    bool windowsMediaConfirmed = false;
    bool realPlayerConfirmed = false;
};

class PlayerPage : public StationPlayer {
  public:
    struct Parts {
        ProgramState& state;
        SettingsStore& settings;
        const CategoryBox& comboS;
        Prompts& prompts;
        ShellOpener& shell;
        PlayerProbes& probes;
        WebView& web1;
        PlayerView& view;
        QString programFolder;
        // zoomPercent, the player's width in percent of the page (33, 50, 75 or 100); the main
        // window owns it and its zoom entries.
        std::function<int()> zoomPercent;
    };

    enum class Outcome {
        Nothing,        // empty address
        Written,        // page written, Web1 sent to it
        WriteFailed,    // page not written; Web1 sent to whatever stands at the path
        PlayerMissing,  // the user was asked to install the player; no page
    };

    // Binds itself to Web1's navigation-complete notification.
    explicit PlayerPage(Parts parts);
    PlayerPage(const PlayerPage&) = delete;
    PlayerPage& operator=(const PlayerPage&) = delete;

    // address is the station address as the catalogue holds it (still shifted). The outcome is
    // for callers that need it (the headless entry).
    Outcome build(std::string_view address);
    // StationPlayer: build(address); name is not used.
    void BuildPlayerPage(const std::string& address, std::string& name) override;
    // Hides Web1, stops its load and unloads the page (and with it the player).
    void StopPlayer() override;
    // Web1's navigation-complete handler: shows Web1 and lays the window out for viewtemp.htm.
    void Web1_NavigateComplete(const QString& address);
    // The Stop entry: back to the station list.
    void menuStop();
    const PlayerFlags& flags() const { return flags_; }
    // programFolder + "/viewtemp.htm".
    QString pagePath() const;

  private:
    bool checkPlayer(Player player);
    void reportMissing(Player player);
    bool showControls() const;

    Parts p_;
    PlayerFlags flags_;
};

}  // namespace kinvo
