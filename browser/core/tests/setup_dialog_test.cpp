// The settings dialog's logic with a scripted form, password box and prompts, and a main window
// that keeps what it is given.
#include "browser/core/setup_dialog.h"
#include "browser/core/input_box.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/support/recording_host.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/texts.h"

#include <QString>

#include <deque>
#include <map>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

using Box = SetupView::Box;

class ScriptedInputBox : public InputBox {
  public:
    std::string ask(std::string_view prompt, std::string_view title,
                    std::string_view preset) override {
        asked.push_back(std::string(prompt) + "|" + std::string(title) + "|" + std::string(preset));
        if (answers.empty()) {
            ADD_FAILURE() << "unscripted password box";
            return {};
        }
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;
    std::vector<std::string> asked;
};

// The form as a toolkit would run it: setting a box reports a click, as a change by the user
// does (the logic must not take that for the user's own).
class ScriptedView : public SetupView {
  public:
    void setBox(Box b, bool ticked) override {
        boxes[b] = ticked;
        if (dialog != nullptr && b == Box::Adult) {
            dialog->adultClicked();
        }
        if (dialog != nullptr && b == Box::ShowControls) {
            dialog->showControlsClicked();
        }
    }
    bool box(Box b) const override { return boxes.count(b) != 0 && boxes.at(b); }
    std::vector<std::string> screenFonts() const override { return {"Serif", "", "Design Sans"}; }
    void setFontNames(const std::vector<std::string>& names) override { fonts = names; }
    void chooseFont(std::string_view name) override { font = pick(fonts, name); }
    std::string fontName() const override { return font; }
    void setSizes(const std::vector<std::string>& list) override { sizes = list; }
    void setSizeText(std::string_view text) override { size = text; }
    std::string sizeText() const override { return size; }
    void setColour(std::int64_t c) override { colourValue = c; }
    std::int64_t colour() const override { return colourValue; }
    void setSpeeds(const std::vector<std::string>& list) override { speeds = list; }
    void chooseSpeed(std::string_view name) override { speedText = pick(speeds, name); }
    std::string speed() const override { return speedText; }

    static std::string pick(const std::vector<std::string>& list, std::string_view name) {
        for (const std::string& entry : list) {
            if (QString::fromStdString(entry).compare(QString::fromUtf8(name.data(), name.size()),
                                                      Qt::CaseInsensitive) == 0) {
                return entry;
            }
        }
        return {};
    }

    SetupDialog* dialog = nullptr;
    std::map<Box, bool> boxes;
    std::vector<std::string> fonts, sizes, speeds;
    std::string font = "unset", size = "unset", speedText = "unset";
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
    EXPECT_EQ(view.boxes, (std::map<Box, bool>{{Box::Tray, false},
                                               {Box::Adult, false},
                                               {Box::ShowControls, false},
                                               {Box::AlwaysOnTop, false}}));
    EXPECT_EQ(view.fonts, (std::vector<std::string>{"Serif", "Design Sans"}));
    EXPECT_EQ(view.font, "Design Sans");
    EXPECT_EQ(view.size, "8");
    EXPECT_EQ(view.colourValue, 0x00C000);
    EXPECT_EQ(view.sizes.front(), "6");
    EXPECT_EQ(view.sizes.back(), "20");
    EXPECT_EQ(view.sizes.size(), 15u);
    EXPECT_EQ(view.speeds,
              (std::vector<std::string>{"Dialup (56k Modem)", "Broadband", "ALL Content"}));
    EXPECT_EQ(view.speedText, "Broadband");
    // Setting the boxes reported clicks, which loading ignores.
    EXPECT_TRUE(inputBox.asked.empty());
    EXPECT_EQ(stored("ShowControls"), "unset");

    for (const auto& [key, value] : std::map<std::string, std::string>{{"Tray", "1"},
                                                                       {"AdultSettings", "1"},
                                                                       {"ShowControls", "1"},
                                                                       {"AlwaysOnTop", "2"},
                                                                       {"Font", "serif"},
                                                                       {"FontSize", "abc"},
                                                                       {"BKColor", "255"},
                                                                       {"Speed", "ALL Content"}}) {
        settings.write(key, value);
    }
    view.boxes.clear();
    dialog.load();
    // A flag other than 0 or 1 leaves its box as it was.
    EXPECT_EQ(view.boxes, (std::map<Box, bool>{
                              {Box::Tray, true}, {Box::Adult, true}, {Box::ShowControls, true}}));
    EXPECT_EQ(view.font, "Serif");
    EXPECT_EQ(view.size, "abc");
    EXPECT_EQ(view.colourValue, 255);
    EXPECT_EQ(view.speedText, "ALL Content");
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
    using Shown = std::vector<std::pair<std::string_view, Prompts::Icon>>;
    const Shown restart = {{texts::kRestartForSetting, Prompts::Icon::Information}};
    const Shown unlockAgain = {{texts::kAdultLockNotice, Prompts::Icon::Critical},
                               {"The new passowrd is : QORMAVELTS", Prompts::Icon::Critical},
                               {texts::kRestartForSetting, Prompts::Icon::Information}};
    const struct {
        const char* name;
        const char* storedBefore;
        std::deque<std::string> answers;  // to the password box
        const char* storedAfter;
        Shown shown;
    } cases[] = {
        {"right password in lower case", "0", {"qormavelts"}, "1", restart},
        {"wrong password", "0", {"QORMAVELT"}, "0", {}},
        {"password box cancelled", "0", {""}, "0", {}},
        {"unticked while unlocked", "1", {}, "0", unlockAgain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings.write("AdultSettings", c.storedBefore);
        dialog.load();
        prompts.shown.clear();
        inputBox.asked.clear();
        inputBox.answers = c.answers;
        view.boxes[Box::Adult] = !view.boxes[Box::Adult];  // the user's click
        dialog.adultClicked();
        EXPECT_EQ(stored("AdultSettings"), c.storedAfter);
        EXPECT_EQ(view.boxes[Box::Adult], std::string(c.storedAfter) == "1");
        // Asked once: the box set from the stored value reports a click that is not handled.
        EXPECT_EQ(inputBox.asked,
                  std::vector<std::string>(c.answers.size(), "Enter password:|Kinvo!|"));
        Shown shown;
        for (const auto& s : prompts.shown) {
            EXPECT_EQ(s.buttons, Prompts::Buttons::Ok);
            shown.emplace_back(s.text, s.icon);
        }
        EXPECT_EQ(shown.size(), c.shown.size());
        for (std::size_t i = 0; i < std::min(shown.size(), c.shown.size()); ++i) {
            EXPECT_EQ(shown[i], c.shown[i]) << i;
        }
    }
}

}  // namespace
}  // namespace kinvo
