#pragma once
// Fakes of what lies outside the browser's logic: prompts answered from a script, a main window
// that records what is done to it, and a temporary home for settings and the program folder.

#include "browser/core/catalogue_view.h"
#include "browser/core/prompts.h"

#include <QTemporaryDir>

#include <deque>
#include <string>
#include <vector>

namespace kinvo::testing {

class ScriptedPrompts : public Prompts {
  public:
    struct Shown {
        std::string text;
        Buttons buttons;
        Icon icon;
    };

    // Answers given in order to the questions (boxes with two buttons); an exhausted script
    // fails the test and answers Cancel / No.
    void script(std::vector<Answer> answers) { answers_.assign(answers.begin(), answers.end()); }

    Answer message(std::string_view text, Buttons buttons, Icon icon) override;
    void showSettingsDialog() override { ++settingsDialogs; }

    std::vector<Shown> shown;
    int settingsDialogs = 0;

  private:
    std::deque<Answer> answers_;
};

class RecordingView : public CatalogueView {
  public:
    void setWindowEnabled(bool enabled) override { windowEnabled = enabled; }
    void setBusy(bool on) override { busy = on; }
    void setStatText(std::string_view text) override { statText = text; }
    void setStationsText(std::string_view text) override { stationsText = text; }
    void setBandwidthText(std::string_view text) override { bandwidthText = text; }
    void setRateFrameVisible(bool visible) override { rateFrameVisible = visible; }
    void setRateButtonVisible(bool visible) override { rateButtonVisible = visible; }
    void setPlayTimeVisible(bool visible) override { playTimeVisible_ = visible; }
    bool playTimeVisible() const override { return playTimeVisible_; }
    void setPlayTimeText(std::string_view text) override { playTimeText = text; }
    void setStationListVisible(bool visible) override { stationListVisible = visible; }
    void setStationListHeight(int twips) override { stationListHeight = twips; }
    void openVideoSearch() override { ++videoSearches; }
    void layOut() override { ++layOuts; }

    bool windowEnabled = true;
    bool busy = false;
    std::string statText;
    std::string stationsText;
    std::string bandwidthText = "unset";
    std::string playTimeText = "unset";
    bool rateFrameVisible = false;
    bool rateButtonVisible = false;
    bool stationListVisible = true;
    int stationListHeight = 0;
    int videoSearches = 0;
    int layOuts = 0;

  private:
    bool playTimeVisible_ = true;
};

// Points XDG_CONFIG_HOME and KINVO_HOME into a fresh temporary folder for its lifetime.
class TemporaryHome {
  public:
    TemporaryHome();
    ~TemporaryHome();
    QString path() const { return dir_.path(); }
    QString programFolder() const { return dir_.path() + QStringLiteral("/program"); }

  private:
    QTemporaryDir dir_;
};

}  // namespace kinvo::testing
