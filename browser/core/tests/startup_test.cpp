// Start-up and shutdown end to end against the loopback catalogue, with scripted answers and a
// main window that writes down everything done to it.
#include "browser/core/startup.h"
#include "browser/core/browser.h"
#include "browser/core/cache_file.h"
#include "browser/core/catalogue.h"
#include "browser/core/main_window_host.h"
#include "browser/core/prompts.h"
#include "browser/core/shell_open.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/texts.h"
#include "browser/core/volume_control.h"
#include "browser/core/wave_out.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <deque>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

using testing::HttpFixture;

using Log = std::vector<std::string>;

class LoggingPrompts : public Prompts {
  public:
    explicit LoggingPrompts(Log& log) : log_(log) {}
    std::deque<Answer> answers;
    Answer message(std::string_view text, Buttons buttons, Icon) override {
        log_.push_back("message:" + std::string(text));
        if (buttons == Buttons::Ok) {
            return Answer::Ok;
        }
        if (answers.empty()) {
            ADD_FAILURE() << "unscripted question: " << text;
            return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void showSettingsDialog() override { log_.push_back("settings dialog"); }

  private:
    Log& log_;
};

class LoggingShell : public ShellOpener {
  public:
    explicit LoggingShell(Log& log) : log_(log) {}
    bool open(std::string_view target) override {
        log_.push_back("open:" + std::string(target));
        return true;
    }

  private:
    Log& log_;
};

class QuietWaveOut : public WaveOut {
  public:
    bool setVolume(std::uint32_t) override { return true; }
};

class FakeHost : public MainWindowHost, public testing::RecordingView, public VolumeView {
  public:
    FakeHost(Log& log, SettingsStore& settings) : log_(log), settings_(settings) {}

    void showSplash() override { log_.push_back("splash"); }
    void setSplashStatus(std::string_view text) override {
        log_.push_back("status:" + std::string(text));
    }
    void closeSplash() override { log_.push_back("splash closed"); }
    std::int64_t screenColourCount() const override { return colours; }
    void installMouseHook() override {
        log_.push_back("hook");
        hookInstalled = true;
    }
    void removeMouseHook() override {
        log_.push_back("unhook");
        hookInstalled = false;
    }
    void closeMainWindow() override { log_.push_back("close"); }
    void showConnectionDialog() override {
        log_.push_back("connection dialog");
        settings_.write(texts::kKeySpeed, texts::kDialup);
    }
    void setCaption(std::string_view text) override { caption = text; }
    TwipRect windowGeometry() const override {
        // A minimised window reports the icon's place, not the normal one.
        return minimised ? TwipRect{0, 0, 2400, 450} : geometry;
    }
    void setWindowGeometry(const TwipRect& g) override { geometry = g; }
    int screenWidth() const override { return 19200; }
    int screenHeight() const override { return 15360; }
    bool windowMinimisedOrMaximised() const override { return minimised; }
    void showWindowNormal() override {
        log_.push_back("normal");
        minimised = false;
    }
    void layOut() override { ++layOuts; }
    void setAlwaysOnTop(bool on) override { log_.push_back(on ? "on top" : "not on top"); }
    void setWindowVisible(bool on) override { visible = on; }
    void setWindowEnabled(bool on) override { windowEnabled = on; }
    int desktopLogicalDpiX() const override { return dpi; }
    void setTrayIcon(std::string_view tip) override { trayTip = tip; }
    std::string listFontName() const override { return fontName; }
    void setListFontName(std::string_view name) override { fontName = name; }
    int listFontSize() const override { return fontSize; }
    void setListFontSize(int points) override { fontSize = points; }
    std::int64_t backgroundColour() const override { return background; }
    void setBackgroundColour(std::int64_t colour) override { background = colour; }
    void showStatLabel() override { log_.push_back("stat shown"); }
    void hideStatLabel() override { log_.push_back("stat hidden"); }
    void setStationPanelVisible(bool on) override {
        log_.push_back(on ? "panel shown" : "panel hidden");
    }
    void StopPlayer() override { log_.push_back("stop player"); }
    void resetZoom() override { log_.push_back("zoom 50"); }
    void closeOtherWindows() override { log_.push_back("close others"); }

    // VolumeView
    void showVolumeDisplay() override {}
    void startVolumeTimer() override {}
    void setVolumeMarks(const std::string&) override {}

    std::int64_t colours = 1 << 24;
    int dpi = 96;
    int fontSize = 8;
    bool minimised = false;
    bool visible = false;
    bool hookInstalled = false;
    std::int64_t background = -1;
    std::string caption, trayTip, fontName;
    TwipRect geometry{0, 0, 6000, 4500};

  private:
    Log& log_;
    SettingsStore& settings_;
};

class StartupTest : public ::testing::Test {
  protected:
    StartupTest() { testing::installCannedCatalogue(fixture); }

    // Settings that a run has left behind: no first-run question is asked.
    void storeSecondRunSettings() {
        SettingsStore settings;
        settings.write(texts::kKeyQHShow, "1");
        settings.write(texts::kKeySpeed, texts::kBroadband);
        settings.write(texts::kKeyAdultSettings, "1");
    }

    // Builds the browser (reading the settings as they stand now) and its start-up.
    void makeBrowser() {
        ParsedOptions parsed = parseBrowserOptions({"--discovery", fixture.url("/redirect35.asp")});
        browser = std::make_unique<Browser>(*parsed.options);
        host = std::make_unique<FakeHost>(log, browser->settings);
        catalogue = std::make_unique<Catalogue>(
            Catalogue::Parts{browser->state, browser->fetcher, browser->settings, browser->lists,
                             browser->comboS, prompts, *host, browser->programFolder});
        volume = std::make_unique<VolumeControl>(waveOut, *host);
        life = std::make_unique<BrowserLife>(LifeParts{*browser, *catalogue, prompts, shell,
                                                       *volume, *host,
                                                       [] { QCoreApplication::processEvents(); }});
    }

    std::ptrdiff_t position(const std::string& entry) const {
        const auto it = std::find(log.begin(), log.end(), entry);
        EXPECT_NE(it, log.end()) << "not in the log: " << entry;
        return it - log.begin();
    }
    bool logged(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }

    testing::TemporaryHome home;
    HttpFixture fixture;
    Log log;
    LoggingPrompts prompts{log};
    LoggingShell shell{log};
    QuietWaveOut waveOut;
    std::unique_ptr<Browser> browser;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<Catalogue> catalogue;
    std::unique_ptr<VolumeControl> volume;
    std::unique_ptr<BrowserLife> life;
};

TEST_F(StartupTest, FirstRunAsksItsQuestionsInOrderAndListsTheDefaultCategory) {
    for (const bool viewAdult : {true, false}) {
        SCOPED_TRACE(viewAdult);
        log.clear();
        QFile::remove(SettingsStore::defaultPath());
        makeBrowser();
        prompts.answers = {viewAdult ? Prompts::Answer::Yes : Prompts::Answer::No};
        ASSERT_TRUE(life->startUp());

        const std::string help = "open:" + fixture.url("/help/kinvo/index.htm");
        const std::string adult = "message:" + std::string(texts::kAdultQuestion);
        EXPECT_EQ(log.front(), "splash");
        EXPECT_LT(position("status:Finding Data Servers..."), position("splash closed"));
        EXPECT_LT(position("splash closed"), position("hook"));
        EXPECT_LT(position("hook"), position(help));
        EXPECT_LT(position(help), position("connection dialog"));
        EXPECT_LT(position("connection dialog"), position(adult));
        EXPECT_LT(position(adult), position("panel shown"));
        EXPECT_EQ(logged("message:" + std::string(texts::kAdultLockNotice)), !viewAdult);
        EXPECT_FALSE(logged("on top"));

        SettingsStore settings;
        EXPECT_EQ(settings.readText(texts::kKeyQHShow, ""), "1");
        EXPECT_EQ(settings.readText(texts::kKeySpeed, ""), texts::kDialup);
        EXPECT_EQ(settings.readText(texts::kKeyAdultSettings, ""), viewAdult ? "1" : "0");
        EXPECT_EQ(browser->comboS.text(), "Music/Entertainment");
        EXPECT_EQ(browser->lists.lstStations.count(), 2);
        EXPECT_EQ(browser->lists.lstStations.currentIndex(), -1);
        EXPECT_EQ(host->caption, "Kinvo! v3.9");
        EXPECT_EQ(host->trayTip, "Kinvo! 3.9");
        EXPECT_EQ(host->background, 12582912);
        EXPECT_TRUE(host->visible);
        EXPECT_TRUE(host->windowEnabled);
        EXPECT_EQ(volume->volumeLevel(), 65535);
    }
}

TEST_F(StartupTest, ASecondRunAsksNothingAndRestoresTheLastStation) {
    storeSecondRunSettings();
    makeBrowser();
    ASSERT_TRUE(life->startUp());
    const SBList& list = browser->lists.lstStations;
    ASSERT_EQ(list.count(), 2);
    browser->lists.lstStations.setCurrentIndex(1);
    life->shutdown();

    log.clear();
    makeBrowser();
    ASSERT_TRUE(life->startUp());
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& e) { return e.starts_with("message:"); }),
              0);
    EXPECT_FALSE(logged("connection dialog"));
    EXPECT_EQ(browser->lists.lstStations.currentIndex(), 1);
    EXPECT_TRUE(browser->lists.lstStations.selected(1));
    EXPECT_FALSE(browser->lists.lstStations.selected(0));  // the listing's own mark gave way
    EXPECT_EQ(browser->lists.lstStations.topIndex(), 0);
}

TEST_F(StartupTest, AStoredStationThatIsGoneSelectsNothing) {
    storeSecondRunSettings();
    SettingsStore().write(texts::kKeyLastStation, "Unknown!!!###gone%%%");
    makeBrowser();
    ASSERT_TRUE(life->startUp());
    const SBList& list = browser->lists.lstStations;
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_FALSE(list.selected(1));  // the first is marked by the listing itself
    EXPECT_EQ(list.topIndex(), 0);
}

TEST_F(StartupTest, VideoSearchAsTheLastCategoryLoadsNoList) {
    storeSecondRunSettings();
    SettingsStore().write(texts::kKeyLastFormat, texts::kVideoSearch);
    makeBrowser();
    ASSERT_TRUE(life->startUp());
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV"), 0);
    EXPECT_EQ(browser->lists.lstStations.count(), 0);
    EXPECT_TRUE(logged("panel shown"));
}

TEST_F(StartupTest, FontSizesOutOfRangeBecomeTen) {
    const struct {
        const char* stored;
        int size;
    } cases[] = {{"2", 10}, {"21", 10}, {"20", 20}, {"3", 3}, {"abc", 8}, {"", 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        log.clear();
        storeSecondRunSettings();
        SettingsStore().write(texts::kKeyFontSize, c.stored);
        makeBrowser();
        ASSERT_TRUE(life->startUp());
        EXPECT_EQ(host->fontSize, c.size);
        // A size the list can't take does not leave the window hidden or disabled.
        EXPECT_TRUE(host->visible);
        EXPECT_TRUE(host->windowEnabled);
        EXPECT_EQ(browser->lists.lstStations.count(), 2);
    }
}

TEST_F(StartupTest, TheWindowOpensAtItsStoredPlaceAndIsBroughtBackOnScreen) {
    // Screen 19200 x 15360 twips; the window always opens 12000 x 9500.
    const struct {
        const char *top, *left;
        int expectTop, expectLeft;
    } cases[] = {
        {"1500", "3000", 1500, 3000},
        {"-200", "3000", 7680, 3000},   // above the screen: half its height
        {"16000", "3000", 7680, 3000},  // below it
        {"1500", "20000", 1500, 9600},  // beyond the right edge: half its width
        {"1500", "-5", 1500, 9600},
        {nullptr, nullptr, 7680 - 4750, 9600 - 6000},  // never stored: centred as it opens
        {"x", "y", 450, 600},                          // not numbers: where the window stood
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.top ? c.top : "none") + "/" + (c.left ? c.left : "none"));
        QFile::remove(SettingsStore::defaultPath());
        storeSecondRunSettings();
        if (c.top) {
            SettingsStore s;
            s.write(texts::kKeyTop, c.top);
            s.write(texts::kKeyLeft, c.left);
        }
        makeBrowser();
        host->geometry = {600, 450, 6000, 4500};
        ASSERT_TRUE(life->startUp());
        EXPECT_EQ(host->geometry, (TwipRect{c.expectLeft, c.expectTop, 12000, 9500}));
    }
}

TEST_F(StartupTest, FewColoursAreWarnedOfOnceAndStartUpGoesOn) {
    for (const std::int64_t colours : {std::int64_t{256}, std::int64_t{65536}}) {
        SCOPED_TRACE(colours);
        log.clear();
        storeSecondRunSettings();
        makeBrowser();
        host->colours = colours;
        ASSERT_TRUE(life->startUp());
        EXPECT_EQ(
            std::count(log.begin(), log.end(), "message:" + std::string(texts::kColourWarning)),
            colours <= 256 ? 1 : 0);
        EXPECT_TRUE(host->windowEnabled);
    }
}

TEST_F(StartupTest, AlwaysOnTopIsSetLast) {
    storeSecondRunSettings();
    SettingsStore().write(texts::kKeyAlwaysOnTop, "1");
    makeBrowser();
    ASSERT_TRUE(life->startUp());
    EXPECT_EQ(log.back(), "on top");
}

TEST_F(StartupTest, NoDataServerClosesTheWindowBeforeAnyQuestion) {
    fixture.answer("/redirect35.asp", "");
    makeBrowser();
    prompts.answers = {Prompts::Answer::Cancel, Prompts::Answer::No};
    EXPECT_FALSE(life->startUp());
    EXPECT_EQ(log.back(), "close");
    EXPECT_FALSE(logged("connection dialog"));
    EXPECT_EQ(SettingsStore().readText(texts::kKeyQHShow, "none"), "none");
    life->shutdown();
    EXPECT_FALSE(host->hookInstalled);
}

TEST_F(StartupTest, ShutdownKeepsCategoryStationAndNormalPlacement) {
    storeSecondRunSettings();
    makeBrowser();
    ASSERT_TRUE(life->startUp());
    ASSERT_FALSE(QDir(browser->programFolder).entryList({"*.chz"}).isEmpty());
    browser->lists.lstStations.setCurrentIndex(0);
    const std::string tag = browser->lists.lstStations.tag(0);
    host->geometry = {1230, 456, 12000, 9500};
    host->minimised = true;
    log.clear();
    life->shutdown();

    EXPECT_EQ(log, (Log{"unhook", "stop player", "normal", "close others"}));
    SettingsStore s;
    EXPECT_EQ(s.readText(texts::kKeyLastFormat, ""), "Music/Entertainment");
    EXPECT_EQ(s.readText(texts::kKeyLastStation, ""), tag);
    EXPECT_EQ(s.readText(texts::kKeyTop, ""), "456");
    EXPECT_EQ(s.readText(texts::kKeyLeft, ""), "1230");
    EXPECT_EQ(s.readText(texts::kKeyWidth, ""), "12000");
    EXPECT_EQ(s.readText(texts::kKeyHeight, ""), "9500");
    EXPECT_TRUE(QDir(browser->programFolder).entryList({"*.chz"}).isEmpty());
    EXPECT_TRUE(browser->state.stopRequested);

    log.clear();
    life->shutdown();  // a second close request does nothing more
    EXPECT_TRUE(log.empty());
}

TEST_F(StartupTest, ShutdownWritesNoStationWithoutOneAndNothingFromVideoSearch) {
    const struct {
        std::string_view category;
        bool current;
        const char* lastFormat;
    } cases[] = {{"Music Video", false, "Music Video"}, {texts::kVideoSearch, true, "before"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.category);
        storeSecondRunSettings();
        {
            SettingsStore s;
            s.write(texts::kKeyLastFormat, "before");
            s.write(texts::kKeyLastStation, "before");
        }
        makeBrowser();
        browser->comboS.setText(std::string(c.category));
        browser->lists.lstStations.add("A", "tag-a", 1);
        browser->lists.lstStations.setCurrentIndex(c.current ? 0 : -1);
        life->shutdown();
        SettingsStore s;
        EXPECT_EQ(s.readText(texts::kKeyLastFormat, ""), c.lastFormat);
        EXPECT_EQ(s.readText(texts::kKeyLastStation, ""), "before");
    }
}

}  // namespace
}  // namespace kinvo
