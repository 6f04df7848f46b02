#include "browser/core/player_page.h"
#include "browser/core/category_box.h"
#include "browser/core/player_page_text.h"
#include "browser/core/player_probes.h"
#include "browser/core/program_folder.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/tests/player_page_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "browser/core/texts.h"
#include "catalogue/text_shift.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kinvo {
namespace {

using testing::RecordingPlayerView;
using testing::RecordingShell;
using testing::RecordingWeb;
using testing::ScriptedProbes;
using testing::ScriptedPrompts;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A browser around one page builder, with a fresh settings store and program folder.
struct Rig {
    Rig() { state.dataServer = "data.kinvo.test"; }

    std::string play(std::string_view plainAddress) {
        lastOutcome = page.build(EncodeText(plainAddress));
        return readFile(page.pagePath()).toStdString();
    }

    testing::TemporaryHome home;
    QString folder = programFolder();
    ProgramState state;
    SettingsStore settings;
    CategoryBox comboS;
    ScriptedPrompts prompts;
    RecordingShell shell;
    ScriptedProbes probes;
    RecordingWeb web1;
    RecordingPlayerView view;
    int zoom = 50;
    PlayerPage page{{state, settings, comboS, prompts, shell, probes, web1, view, folder,
                     [this] { return zoom; }}};
    PlayerPage::Outcome lastOutcome = PlayerPage::Outcome::Nothing;
};

// ---- Golden pages -------------------------------------------------------------------------

struct GoldenCase {
    const char* file;
    const char* address;  // plain; the catalogue's shift is applied by the rig
    int zoom;
    const char* showControls = nullptr;  // "ShowControls" setting, unset when null
    const char* bkColor = nullptr;       // "BKColor" setting, unset when null
};

constexpr GoldenCase kGolden[] = {
    {"flash_33", "tv.example/show.swf", 33},
    {"flash_50", "tv.example/show.swf", 50},
    {"flash_75", "tv.example/show.swf", 75},
    {"flash_100", "tv.example/show.swf", 100},
    {"flash_red", "tv.example/show.swf", 50, nullptr, "255"},
    {"flash_not_a_number", "tv.example/show.swf", 50, nullptr, "blue"},
    {"quicktime_33", "http://tv.example/trailer.mov", 33},
    {"quicktime_50", "http://tv.example/trailer.mov", 50},
    {"quicktime_75", "http://tv.example/trailer.mov", 75},
    {"quicktime_100", "http://tv.example/trailer.mov", 100},
    {"media_33", "mms://tv.example/live", 33},
    {"media_50", "mms://tv.example/live", 50},
    {"media_75", "mms://tv.example/live", 75},
    {"media_100", "mms://tv.example/live", 100},
    {"media_controls_50", "mms://tv.example/live", 50, "1"},
    {"media_controls_100", "mms://tv.example/live", 100, "1"},
    {"real_33", "rtsp://tv.example/news.rm", 33},
    {"real_50", "rtsp://tv.example/news.rm", 50},
    {"real_75", "rtsp://tv.example/news.rm", 75},
    {"real_100", "rtsp://tv.example/news.rm", 100},
    {"real_controls_50", "rtsp://tv.example/news.rm", 50, "1"},
    {"real_controls_100", "rtsp://tv.example/news.rm", 100, "1"},
    {"control_33", "http://tv.example/live.qrx?CDC=abc", 33},
    {"control_50", "http://tv.example/live.qrx?CDC=abc", 50},
    {"control_75", "http://tv.example/live.qrx?CDC=abc", 75},
    {"control_100", "http://tv.example/live.qrx?CDC=abc", 100},
    {"control_red", "http://tv.example/live.qrx?CDC=abc", 50, nullptr, "255"},
};

QString goldenPath(const char* name) {
    return QStringLiteral(KINVO_GOLDEN_DIR "/player_page/") + QString::fromLatin1(name) +
           QStringLiteral(".htm");
}

TEST(PlayerPageGolden, EveryTemplateIsWrittenByteForByte) {
    const bool update = qEnvironmentVariableIsSet("KINVO_UPDATE_GOLDEN");
    for (const GoldenCase& c : kGolden) {
        SCOPED_TRACE(c.file);
        Rig rig;
        if (c.showControls != nullptr) {
            rig.settings.write("ShowControls", c.showControls);
        }
        if (c.bkColor != nullptr) {
            rig.settings.write("BKColor", c.bkColor);
        }
        rig.zoom = c.zoom;
        const std::string page = rig.play(c.address);
        ASSERT_EQ(rig.lastOutcome, PlayerPage::Outcome::Written);
        if (update) {
            QFile out(goldenPath(c.file));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(page.data(), static_cast<qint64>(page.size()));
            continue;
        }
        const QByteArray golden = readFile(goldenPath(c.file));
        ASSERT_FALSE(golden.isEmpty()) << "missing golden file";
        EXPECT_EQ(page, golden.toStdString());
    }
}

// Properties every page has, whatever its template; they hold the golden files to the rules.
TEST(PlayerPageGolden, PagesKeepTheirPlaceholdersRulesAndLineEnds) {
    for (const GoldenCase& c : kGolden) {
        SCOPED_TRACE(c.file);
        const std::string page = readFile(goldenPath(c.file)).toStdString();
        ASSERT_FALSE(page.empty());
        EXPECT_EQ(page.find('%' + std::string("URL%")), std::string::npos);
        EXPECT_EQ(page.find("%OBJ%"), std::string::npos);
        EXPECT_EQ(page.find("%BKCOLOR%"), std::string::npos);
        EXPECT_EQ(page.find("%WPERCENT%"), std::string::npos);
        EXPECT_EQ(page.find("%HHALF%"), std::string::npos);
        EXPECT_TRUE(page.ends_with("</table></body></html>\r\n\r\n"));
        // Every line break is CR LF.
        for (std::size_t at = page.find('\n'); at != std::string::npos;
             at = page.find('\n', at + 1)) {
            ASSERT_GT(at, 0u);
            EXPECT_EQ(page[at - 1], '\r') << "bare LF at " << at;
        }
        const bool spacer = page.find("<tr height=") != std::string::npos;
        EXPECT_EQ(spacer, c.zoom != 100);
        EXPECT_NE(page.find(std::to_string(c.zoom) + "%"), std::string::npos) << c.zoom;
    }
}

TEST(PlayerPageText, HalfHeightIsTheShortestDecimal) {
    EXPECT_EQ(halfHeightText(33), "33.5%");
    EXPECT_EQ(halfHeightText(50), "25%");
    EXPECT_EQ(halfHeightText(75), "12.5%");
    EXPECT_EQ(halfHeightText(100), "0%");
}

TEST(PlayerPageText, PageColourReversesTheColourNumbersBytes) {
    EXPECT_EQ(pageColour(12582912), "0000C0");
    EXPECT_EQ(pageColour(255), "FF0000");
    EXPECT_EQ(pageColour(std::nullopt), "000000");
    EXPECT_EQ(pageColour(0x123456), "563412");
    EXPECT_EQ(pageColour(-1), "FFFFFF");
}

TEST(PlayerPage, ControlPageCutsTheAddressAtItsLastQuestionMark) {
    Rig rig;
    const std::string page = rig.play("live.qrx?CDC=abc?x=1");
    EXPECT_NE(page.find(R"(sonarix.AppendFileToPlaylist( "http://live.qrx?CDC=abc" );)"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("x=1"), std::string::npos);
}

TEST(PlayerPage, VideoSearchShowsThePlayersControls) {
    Rig rig;
    rig.comboS.setText(std::string(texts::kVideoSearch));
    EXPECT_NE(rig.play("mms://a/b").find(R"(<param name="ShowControls" value="1">)"),
              std::string::npos);
    rig.comboS.setText("News");
    rig.settings.write("ShowControls", "yes");
    EXPECT_NE(rig.play("mms://a/b").find(R"(<param name="ShowControls" value="0">)"),
              std::string::npos);
}

// ---- Player choice ------------------------------------------------------------------------

TEST(PlayerChoice, FirstMatchingRuleDecides) {
    struct Case {
        const char* address;
        Player player;
    };
    const Case cases[] = {
        {"http://a/clip.swf", Player::Flash},
        {"http://a/CLIP.SwF", Player::Flash},
        {"mms://a/clip.swf", Player::Flash},  // Flash before Windows Media
        {"http://a/x.dcr", Player::Flash},
        {"http://a/x.swf?v=1", Player::RealPlayer},  // must end with it
        {"http://a/m.mov", Player::QuickTime},
        {"http://a/m.QT", Player::QuickTime},
        {"http://a/m.Movie", Player::QuickTime},
        {"http://a/x.wmv?f=a.qrx", Player::WindowsMedia},  // Windows Media before the control
        {"http://a/x.mov.asx", Player::WindowsMedia},
        {"http://a/x?plugin=w", Player::WindowsMedia},
        {"http://a/x.mpeg", Player::WindowsMedia},
        {"http://a/x.mpg", Player::WindowsMedia},
        {"http://a/x.asf", Player::WindowsMedia},
        {"MMS://a/x", Player::WindowsMedia},
        {"http://a/live.qrx?CDC=abc", Player::PlaybackControl},
        {"http://a/LIVE.QRX", Player::PlaybackControl},
        {"rtsp://a/x.rm", Player::RealPlayer},
        {"http://a/x.ram", Player::RealPlayer},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(choosePlayer(c.address), c.player) << c.address;
    }
    EXPECT_EQ(controlPageAddress("http://live.qrx?CDC=abc"), "http://live.qrx");
    EXPECT_EQ(controlPageAddress("http://a?b?c"), "http://a?b");
    EXPECT_EQ(controlPageAddress("http://live.qrx"), "http://live.qrx");
}

// ---- Escaping -----------------------------------------------------------------------------

TEST(PageAddressEscaping, ValidAddressesStayByteForByte) {
    const char* kept[] = {
        "http://tv.example/live.qrx",
        "http://tv.example/a%20b?x=1&y=2#frag",
        "mms://user:pw@tv.example:8080/~path/it's;v=(1)*+,!$[]{}|^`",
        "http://tv.example/\xC3\xA9t\xC3\xA9/\xFF",
    };
    for (const char* address : kept) {
        EXPECT_EQ(escapePageAddress(address), address);
    }
}

TEST(PageAddressEscaping, CharactersNoAddressHoldsArePercentEncoded) {
    EXPECT_EQ(escapePageAddress("a\"b<c>d\\e f\tg"), "a%22b%3Cc%3Ed%5Ce%20f%09g");
    EXPECT_EQ(escapePageAddress(std::string("x\0y\x01\x20\x21", 6)), "x%00y%01%20!");
}

TEST(PageAddressEscaping, ACatalogueEntryCannotInjectScript) {
    Rig rig;
    const std::string page = rig.play(R"(http://evil/x.rm"><script>alert(1)</script>)");
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_NE(page.find(R"(value="http://evil/x.rm%22%3E%3Cscript%3Ealert(1)%3C/script%3E")"),
              std::string::npos);

    const std::string control = rig.play(R"(http://evil/a.qrx" ); alert(1); (")");
    EXPECT_NE(
        control.find(R"(AppendFileToPlaylist( "http://evil/a.qrx%22%20);%20alert(1);%20(%22" );)"),
        std::string::npos)
        << control;
}

// ---- Build flow ---------------------------------------------------------------------------

TEST(PlayerPage, EmptyAddressDoesNothing) {
    Rig rig;
    rig.state.pendingHelpPage = "http://left/over.htm";
    EXPECT_EQ(rig.page.build(""), PlayerPage::Outcome::Nothing);
    EXPECT_FALSE(QFileInfo::exists(rig.page.pagePath()));
    EXPECT_EQ(rig.state.pendingHelpPage, "http://left/over.htm");
    EXPECT_TRUE(rig.web1.calls.empty());
    EXPECT_TRUE(rig.prompts.shown.empty());
}

TEST(PlayerPage, WritesThenNavigatesAndShowsOnlyWhenViewtempHasLoaded) {
    Rig rig;
    rig.state.pendingHelpPage = "http://left/over.htm";
    rig.play("rtsp://a/x.rm");
    EXPECT_EQ(rig.state.pendingHelpPage, "");
    const std::string path = rig.folder.toStdString() + "/viewtemp.htm";
    ASSERT_EQ(rig.web1.calls, std::vector<std::string>{"navigate " + path});
    EXPECT_FALSE(rig.web1.visible);

    rig.web1.complete(QStringLiteral("about:blank"));
    rig.web1.complete(QStringLiteral("file:///tmp/VIEWTEMP.HTM"));
    EXPECT_FALSE(rig.web1.visible);
    EXPECT_EQ(rig.view.layOuts, 0);
    rig.web1.complete(QString::fromStdString("file://" + path));
    EXPECT_TRUE(rig.web1.visible);
    EXPECT_EQ(rig.view.layOuts, 1);
}

TEST(PlayerPage, AnUnwritablePageStillSendsWeb1ToThePath) {
    Rig rig;
    QFile blocker(rig.folder + QStringLiteral("/viewtemp.htm"));
    ASSERT_TRUE(QDir().mkpath(blocker.fileName()));  // a folder where the page would go
    rig.play("rtsp://a/x.rm");
    EXPECT_EQ(rig.lastOutcome, PlayerPage::Outcome::WriteFailed);
    EXPECT_EQ(rig.web1.calls.size(), 1u);
}

TEST(PlayerPage, StopPlayerHidesStopsAndUnloads) {
    Rig rig;
    rig.page.StopPlayer();
    EXPECT_EQ(rig.web1.calls, (std::vector<std::string>{"hide", "stop", "navigate "}));
}

TEST(PlayerPage, StopEntryReturnsToTheStationList) {
    Rig rig;
    rig.page.menuStop();
    EXPECT_TRUE(rig.state.stopRequested);
    EXPECT_EQ(rig.web1.calls, (std::vector<std::string>{"hide", "stop", "navigate "}));
    EXPECT_EQ(rig.view.statLabelHidden, 1);
    EXPECT_EQ(rig.view.stationListShown, 1);
}

// ---- Probes -------------------------------------------------------------------------------

TEST(PlayerProbeRules, VersionTexts) {
    struct Case {
        const char* version;
        bool present;
    };
    const Case media[] = {
        {"", true},    {"9.00.00.2980", true}, {"11.0", true}, {"6.4.09.1130", false},
        {"10", false}, {"8.9", false},         {"x.1", false}, {" 12.0", true}};
    for (const Case& c : media) {
        EXPECT_EQ(windowsMediaPresent(c.version), c.present) << "media " << c.version;
    }
    const Case real[] = {{"6.0.9.450", false}, {"6.0.10.505", true}, {"6.0.12.1040", true},
                         {"10.0", false},      {"", false},          {"5.9.99", false},
                         {"7.0", false},       {"7.0.1", true},      {"6.1", false},
                         {"x.0.12", false}};
    for (const Case& c : real) {
        EXPECT_EQ(realPlayerPresent(c.version), c.present) << "real " << c.version;
    }
    EXPECT_FALSE(quickTimePresent({false, true}));
    EXPECT_FALSE(quickTimePresent({true, false}));
    EXPECT_TRUE(quickTimePresent({true, true}));
    EXPECT_TRUE(quickTimePresent({true, std::nullopt}));  // the call failed
}

TEST(PlayerPage, FlashAndControlPagesAreNeverProbed) {
    Rig rig;
    rig.play("a/b.swf");
    rig.play("a/b.qrx");
    EXPECT_EQ(
        rig.probes.quickTimeProbes + rig.probes.windowsMediaProbes + rig.probes.realPlayerProbes,
        0);
}

TEST(PlayerPage, FlagsGoOnlyFromFalseToTrue) {
    Rig rig;
    rig.probes.realPlayer = {{true, "6.0.9.450"}, {true, "6.0.10.505"}, {false, ""}};
    rig.prompts.script({Prompts::Answer::Cancel});
    rig.play("rtsp://a/x.rm");
    EXPECT_EQ(rig.lastOutcome, PlayerPage::Outcome::PlayerMissing);
    EXPECT_FALSE(rig.page.flags().realPlayerConfirmed);

    rig.play("rtsp://a/x.rm");  // the probe is repeated, and passes
    EXPECT_EQ(rig.lastOutcome, PlayerPage::Outcome::Written);
    EXPECT_TRUE(rig.page.flags().realPlayerConfirmed);
    EXPECT_EQ(rig.probes.realPlayerProbes, 2);

    rig.play("rtsp://a/y.rm");  // the player has gone, but the run has seen it
    EXPECT_EQ(rig.lastOutcome, PlayerPage::Outcome::Written);
    EXPECT_EQ(rig.probes.realPlayerProbes, 2);
    EXPECT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_FALSE(rig.page.flags().quickTimeConfirmed);
    EXPECT_FALSE(rig.page.flags().windowsMediaConfirmed);
}

struct MissingCase {
    const char* address;
    const char* question;
    const char* helpPath;
    bool opensAtOnce;  // QuickTime opens its help page itself
};

constexpr MissingCase kMissing[] = {
    {"http://a/m.mov",
     "Apple QuickTime Player is required to play this selection, Would you like to download this "
     "now?",
     "/qt.htm", true},
    {"mms://a/live",
     "Windows Media Player (version 9 or above) is required to play this selection, Would you "
     "like to download this now?",
     "/microsoft.htm", false},
    {"rtsp://a/x.rm",
     "RealPlayer is required to play this selection, Would you like to download this now?",
     "/real.htm", false},
};

void makeMissing(ScriptedProbes& probes) {
    probes.quickTime = {{true, false}};
    probes.windowsMedia = {{true, "6.4.09.1130"}};
    probes.realPlayer = {{true, "6.0.9.450"}};
}

TEST(PlayerPage, MissingPlayerAnsweredOkLeavesAHelpPage) {
    for (const MissingCase& c : kMissing) {
        SCOPED_TRACE(c.address);
        Rig rig;
        makeMissing(rig.probes);
        rig.prompts.script({Prompts::Answer::Ok});
        rig.play(c.address);
        EXPECT_EQ(rig.lastOutcome, PlayerPage::Outcome::PlayerMissing);
        ASSERT_EQ(rig.prompts.shown.size(), 2u);
        EXPECT_EQ(rig.prompts.shown[0].text, c.question);
        EXPECT_EQ(rig.prompts.shown[0].buttons, Prompts::Buttons::OkCancel);
        EXPECT_EQ(rig.prompts.shown[0].icon, Prompts::Icon::Critical);
        EXPECT_EQ(rig.prompts.shown[1].text,
                  "Please retry this selection after you have installed.");
        EXPECT_EQ(rig.prompts.shown[1].buttons, Prompts::Buttons::Ok);
        const std::string help = std::string("http://data.kinvo.test") + c.helpPath;
        if (c.opensAtOnce) {
            EXPECT_EQ(rig.shell.opened, std::vector<std::string>{help});
            EXPECT_EQ(rig.state.pendingHelpPage, "");
        } else {
            EXPECT_TRUE(rig.shell.opened.empty());
            EXPECT_EQ(rig.state.pendingHelpPage, help);
        }
        EXPECT_EQ(rig.view.stationListShown, 1);
        EXPECT_TRUE(rig.web1.calls.empty());
        EXPECT_FALSE(QFileInfo::exists(rig.page.pagePath()));
    }
}

TEST(PlayerPage, MissingPlayerAnsweredCancelOpensNothing) {
    for (const MissingCase& c : kMissing) {
        SCOPED_TRACE(c.address);
        Rig rig;
        makeMissing(rig.probes);
        rig.prompts.script({Prompts::Answer::Cancel});
        rig.play(c.address);
        EXPECT_EQ(rig.prompts.shown.size(), 1u);
        EXPECT_TRUE(rig.shell.opened.empty());
        EXPECT_EQ(rig.state.pendingHelpPage, "");
        EXPECT_EQ(rig.view.stationListShown, 1);
        EXPECT_TRUE(rig.web1.calls.empty());
    }
}

TEST(PlayerPage, MediaPlayerObjectThatCannotBeCreatedSaysSoFirst) {
    Rig rig;
    rig.probes.windowsMedia = {{false, ""}};
    rig.prompts.script({Prompts::Answer::Cancel});
    rig.play("mms://a/live");
    ASSERT_EQ(rig.prompts.shown.size(), 2u);
    EXPECT_EQ(rig.prompts.shown[0].text, "noobj");
    EXPECT_EQ(rig.prompts.shown[0].buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(rig.prompts.shown[1].buttons, Prompts::Buttons::OkCancel);
}

TEST(PlayerPage, QuickTimeCheckThatCannotBeCreatedMeansMissing) {
    Rig rig;
    rig.probes.quickTime = {{false, std::nullopt}, {true, std::nullopt}};
    rig.prompts.script({Prompts::Answer::Cancel});
    rig.play("a/m.qt");
    EXPECT_EQ(rig.lastOutcome, PlayerPage::Outcome::PlayerMissing);
    rig.play("a/m.qt");  // the call failing counts as present
    EXPECT_EQ(rig.lastOutcome, PlayerPage::Outcome::Written);
    EXPECT_TRUE(rig.page.flags().quickTimeConfirmed);
}

}  // namespace
}  // namespace kinvo
