#pragma once
// Fakes for the player page builder: a recording Web1, a recording window, scripted probes and a
// recording shell opener.

#include "browser/core/player_probes.h"
#include "browser/core/player_view.h"
#include "browser/core/tests/support/recording_fakes.h"
#include "browser/core/web_view.h"

#include <deque>
#include <string>
#include <vector>

namespace kinvo::testing {

class RecordingWeb : public WebView {
  public:
    void navigate(const QString& path) override {
        calls.push_back("navigate " + path.toStdString());
    }
    void stop() override { calls.push_back("stop"); }
    void hide() override {
        visible = false;
        calls.push_back("hide");
    }
    void show() override {
        visible = true;
        calls.push_back("show");
    }
    void setNavigationComplete(NavigationComplete handler) override {
        complete = std::move(handler);
    }

    std::vector<std::string> calls;
    bool visible = false;
    NavigationComplete complete;
};

class RecordingPlayerView : public PlayerView {
  public:
    void showStationList() override { ++stationListShown; }
    void hideStatLabel() override { ++statLabelHidden; }
    void layOut() override { ++layOuts; }

    int stationListShown = 0;
    int statLabelHidden = 0;
    int layOuts = 0;
};

// Answers each probe from its script (the last answer repeats); counts the probes.
class ScriptedProbes : public PlayerProbes {
  public:
    QuickTimeAnswer probeQuickTime() override {
        ++quickTimeProbes;
        return next(quickTime);
    }
    VersionAnswer probeWindowsMedia() override {
        ++windowsMediaProbes;
        return next(windowsMedia);
    }
    VersionAnswer probeRealPlayer() override {
        ++realPlayerProbes;
        return next(realPlayer);
    }

    std::deque<QuickTimeAnswer> quickTime{{true, true}};
    std::deque<VersionAnswer> windowsMedia{{true, "9.00.00.2980"}};
    std::deque<VersionAnswer> realPlayer{{true, "6.0.12.1040"}};
    int quickTimeProbes = 0;
    int windowsMediaProbes = 0;
    int realPlayerProbes = 0;

  private:
    template <typename T>
    static T next(std::deque<T>& script) {
        T answer = script.front();
        if (script.size() > 1) {
            script.pop_front();
        }
        return answer;
    }
};

}  // namespace kinvo::testing
