// The settings dialog's logic with a scripted form, password box and prompts, and a main window
// that keeps what it is given.
#include "browser/core/setup_dialog.h"
#include "browser/core/input_box.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/support/recording_host.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/texts.h"

#include <deque>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

using Box = SetupView::Box;

class ScriptedInputBox : public InputBox {
  public:
    std::string ask(std::string_view prompt, std::string_view title,
                    std::string_view preset) override {
        EXPECT_EQ(std::string(prompt) + "|" + std::string(title) + "|" + std::string(preset),
                  "Enter password:|Kinvo!|");
        ++asked;
        std::string answer = answers.empty() ? std::string() : answers.front();
        EXPECT_FALSE(answers.empty()) << "unscripted password box";
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
    std::deque<std::string> answers;
    int asked = 0;
};

// The form as a toolkit may run it: setting a box reports a click, as the user's change does
// (the logic must not take it for the user's own). Font and type choices keep the name given.
class ScriptedView : public SetupView {
  public:
    void setBox(Box b, bool ticked) override {
        boxes[b] = ticked;
        if (b == Box::Adult) {
            dialog->adultClicked();
        } else if (b == Box::ShowControls) {
            dialog->showControlsClicked();
        }
    }
    bool box(Box b) const override { return boxes.count(b) != 0 && boxes.at(b); }
    std::vector<std::string> screenFonts() const override { return {"Serif", "", "Sans"}; }
    void setFontNames(const std::vector<std::string>& names) override { fonts = names; }
    void chooseFont(std::string_view name) override { font = name; }
    std::string fontName() const override { return font; }
    void setSizes(const std::vector<std::string>& list) override { sizes = list; }
    void setSizeText(std::string_view text) override { size = text; }
    std::string sizeText() const override { return size; }
    void setColour(std::int64_t c) override { colourValue = c; }
    std::int64_t colour() const override { return colourValue; }
    void setSpeeds(const std::vector<std::string>& list) override { speeds = list; }
    void chooseSpeed(std::string_view name) override { speedText = name; }
    std::string speed() const override { return speedText; }

    SetupDialog* dialog = nullptr;
    std::map<Box, bool> boxes;
    std::vector<std::string> fonts, sizes, speeds;
    std::string font, size, speedText;
    std::int64_t colourValue = -1;
};

const char* const kKeys[] = {"Tray", "AdultSettings", "ShowControls", "AlwaysOnTop",
                             "Font", "FontSize",      "BKColor",      "Speed"};

class SetupDialogTest : public ::testing::Test {
  protected:
    SetupDialogTest() { view.dialog = &dialog; }

    std::string stored(const char* key) const { return settings.readText(key, "unset"); }

    testing::TemporaryHome home;
    SettingsStore settings;
    testing::ScriptedPrompts prompts;
    ScriptedInputBox inputBox;
    testing::RecordingHost host;
    ScriptedView view;
    SetupDialog dialog{{settings, prompts, inputBox, host, view, [] {}}};
};

TEST_F(SetupDialogTest, OpensWithTheStoredValuesOrTheMainWindowsOwn) {
    dialog.load();
    const std::map<Box, bool> unticked = {{Box::Tray, false},
                                          {Box::Adult, false},
                                          {Box::ShowControls, false},
                                          {Box::AlwaysOnTop, false}};
    EXPECT_EQ(view.boxes, unticked);
    EXPECT_EQ(view.fonts, (std::vector<std::string>{"Serif", "Sans"}));
    EXPECT_EQ(std::tie(view.font, view.size, view.colourValue, view.speedText),
              std::tuple("Design Sans", "8", 0x00C000, "Broadband"));
    EXPECT_EQ(view.sizes.size(), 15u);
    EXPECT_EQ(view.sizes.back(), "20");
    EXPECT_EQ(view.speeds,
              (std::vector<std::string>{"Dialup (56k Modem)", "Broadband", "ALL Content"}));
    // Setting the boxes reported clicks, which loading ignores.
    EXPECT_EQ(inputBox.asked, 0);
    EXPECT_EQ(stored("ShowControls"), "unset");

    const std::map<std::string, std::string> values = {
        {"Tray", "1"},     {"AdultSettings", "1"}, {"ShowControls", "1"}, {"AlwaysOnTop", "2"},
        {"Font", "Serif"}, {"FontSize", "abc"},    {"BKColor", "x"},      {"Speed", "ALL Content"}};
    for (const auto& [key, value] : values) {
        settings.write(key, value);
    }
    view.boxes.clear();
    dialog.load();
    // A flag other than 0 or 1 leaves its box as it was; a colour that is not a number, the
    // window's own.
    EXPECT_EQ(view.boxes, (std::map<Box, bool>{
                              {Box::Tray, true}, {Box::Adult, true}, {Box::ShowControls, true}}));
    EXPECT_EQ(std::tie(view.font, view.size, view.colourValue, view.speedText),
              std::tuple("Serif", "abc", 0x00C000, "ALL Content"));
}

TEST_F(SetupDialogTest, OkStoresAndAppliesEveryValueAndCancelNothing) {
    dialog.load();
    for (const char* key : kKeys) {
        EXPECT_EQ(stored(key), "unset") << key;  // opening and leaving writes nothing
    }
    view.boxes = {{Box::Tray, true}, {Box::Adult, true}, {Box::AlwaysOnTop, true}};
    view.font = "Serif";
    view.size = "14";
    view.colourValue = 0x123456;
    view.speedText = "Dialup (56k Modem)";
    dialog.ok();
    const std::map<std::string, std::string> expected = {{"Tray", "1"},
                                                         {"AdultSettings", "1"},
                                                         {"ShowControls", "unset"},
                                                         {"AlwaysOnTop", "1"},
                                                         {"Font", "Serif"},
                                                         {"FontSize", "14"},
                                                         {"BKColor", "1193046"},
                                                         {"Speed", "Dialup (56k Modem)"}};
    for (const char* key : kKeys) {
        EXPECT_EQ(stored(key), expected.at(key)) << key;
    }
    EXPECT_EQ(host.fontName, "Serif");
    EXPECT_EQ(host.fontSize, 14);
    EXPECT_EQ(host.background, 0x123456);
    EXPECT_EQ(host.layOuts, 1);
}

TEST_F(SetupDialogTest, SizesOutsideThreeToTwentyBecomeTen) {
    dialog.load();
    for (const auto& [typed, kept] : std::vector<std::pair<std::string, int>>{
             {"25", 10}, {"2", 10}, {"4", 4}, {"abc", 10}, {"", 10}, {" 20 ", 20}, {"3", 3}}) {
        view.size = typed;
        dialog.ok();
        EXPECT_EQ(stored("FontSize"), std::to_string(kept)) << typed;
        EXPECT_EQ(host.fontSize, kept) << typed;
    }
}

TEST_F(SetupDialogTest, PlayerControlsBoxWritesAtOnce) {
    dialog.load();
    for (const bool ticked : {true, false}) {
        view.boxes[Box::ShowControls] = ticked;
        dialog.showControlsClicked();
        EXPECT_EQ(stored("ShowControls"), ticked ? "1" : "0");
    }
}

TEST_F(SetupDialogTest, AdultBoxGoesThroughTheLock) {
    using Shown = std::vector<std::pair<std::string, Prompts::Icon>>;
    const std::pair restart{std::string(texts::kRestartForSetting), Prompts::Icon::Information};
    const struct {
        const char* storedBefore;
        std::deque<std::string> answers;  // to the password box
        const char* storedAfter;
        Shown shown;  // every box with only OK
    } cases[] = {
        {"0", {"qormavelts"}, "1", {restart}},
        {"0", {"QORMAVELT"}, "0", {}},
        {"0", {""}, "0", {}},  // cancelled
        {"1",
         {},
         "0",
         {{std::string(texts::kAdultLockNotice), Prompts::Icon::Critical},
          {"The new passowrd is : QORMAVELTS", Prompts::Icon::Critical},
          restart}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers.empty() ? "unticked" : c.answers.front());
        settings.write("AdultSettings", c.storedBefore);
        dialog.load();
        prompts.shown.clear();
        inputBox.asked = 0;
        inputBox.answers = c.answers;
        view.boxes[Box::Adult] = !view.boxes[Box::Adult];  // the user's click
        dialog.adultClicked();
        EXPECT_EQ(stored("AdultSettings"), c.storedAfter);
        EXPECT_EQ(view.boxes[Box::Adult], std::string(c.storedAfter) == "1");
        // Asked once: the box set from the stored value reports a click that is not handled.
        EXPECT_EQ(inputBox.asked, static_cast<int>(c.answers.size()));
        Shown shown;
        for (const auto& s : prompts.shown) {
            EXPECT_EQ(s.buttons, Prompts::Buttons::Ok);
            shown.emplace_back(s.text, s.icon);
        }
        EXPECT_EQ(shown, c.shown);
    }
}

}  // namespace
}  // namespace kinvo
