#include "browser/core/catalogue.h"
#include "browser/core/category_box.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/favorites.h"
#include "browser/core/input_box.h"
#include "browser/core/play_station.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/shell_open.h"
#include "browser/core/station_details.h"
#include "browser/core/station_list_events.h"
#include "browser/core/station_list_keys.h"
#include "browser/core/station_lists.h"
#include "browser/core/station_player.h"
#include "browser/core/station_view.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/recording_fakes.h"
#include "browser/core/tests/support/test_support.h"
#include "catalogue/station_record.h"
#include "catalogue/text_shift.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <string>
#include <vector>

namespace kinvo {
namespace {

using testing::HttpFixture;

std::string stationTag(const std::string& address, const std::string& time = "0") {
    return StationTag({address, "Info", "Extra", "", 0, time, "", ""});
}

TEST(StationDetails, TimeBandwidthNotesAndRating) {
    struct TimeCase {
        std::string time, shown;
    };
    for (const TimeCase& c : std::vector<TimeCase>{{"187", "Time : [3:07]"},
                                                   {"60", "Time : [1:00]"},
                                                   {"59", "Time : [0:59]"},
                                                   {"", "Time : [??:??]"},
                                                   {"abc", "Time : [??:??]"},
                                                   {"0", "Time : [??:??]"},
                                                   {"-5", "Time : [??:??]"},
                                                   {"3605", "Time : [60:05]"}}) {
        EXPECT_EQ(playTimeText(c.time), c.shown) << c.time;
    }
    EXPECT_EQ(bandwidthText(0), "Bandwidth : ? kbps");
    EXPECT_EQ(bandwidthText(-3), "Bandwidth : ? kbps");
    EXPECT_EQ(bandwidthText(300), "Bandwidth : 300kbps");

    struct RatingCase {
        std::string rating;
        int marks;
    };
    for (const RatingCase& c : std::vector<RatingCase>{
             {"3", 3}, {"0", 0}, {"", 0}, {"7", 5}, {"2.5", 2}, {"3.5", 4}, {"-1", 0}, {"x", 0}}) {
        EXPECT_EQ(ratingMarks("Good||" + c.rating), c.marks) << c.rating;
    }
    EXPECT_EQ(notesText("Loud and clear||4"), "Loud and clear");
    EXPECT_EQ(notesText("None||4"),
              "No comments, Click the RATE icon on the left to add notes and rate this station.");
}

TEST(StationDetails, ComeFromTheItemAndItsCompanionByAddress) {
    StationLists lists;
    lists.lstStations.add("Zulu", stationTag("ADDR1", "187"), 300);
    lists.lstStations.add("Alpha", stationTag("ADDR2", "59"), 0);
    // The companion list is matched by address, not by index.
    lists.lstStations2.add("ADDR2", "None||3", 0);
    lists.lstStations2.add("ADDR1", "Fine||7", 0);

    const auto zulu = stationDetails(lists.lstStations, 0, lists.lstStations2, true);
    ASSERT_TRUE(zulu);
    EXPECT_EQ(zulu->playTime, "Time : [3:07]");
    EXPECT_EQ(zulu->bandwidth, "Bandwidth : 300kbps");
    EXPECT_EQ(zulu->notes, "Fine");
    EXPECT_EQ(zulu->ratingMarks, 5);

    const auto alpha = stationDetails(lists.lstStations, 1, lists.lstStations2, false);
    ASSERT_TRUE(alpha);
    EXPECT_FALSE(alpha->playTime);  // not in search mode
    EXPECT_EQ(alpha->bandwidth, "Bandwidth : ? kbps");
    EXPECT_EQ(alpha->ratingMarks, 3);

    lists.lstStations.add("Lost", stationTag("ADDR9"), 56);
    const auto lost = stationDetails(lists.lstStations, 2, lists.lstStations2, false);
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->notes, "");  // nothing of another station
    EXPECT_EQ(lost->ratingMarks, 0);
    EXPECT_FALSE(stationDetails(lists.lstStations, 3, lists.lstStations2, false));
}

TEST(StationListKeys, Tables) {
    using enum KeyDownAction;
    struct DownCase {
        int key;
        Qt::KeyboardModifiers modifiers;
        KeyDownAction action;
    };
    for (const DownCase& c :
         std::vector<DownCase>{{Qt::Key_F12, Qt::ShiftModifier, ShowAddress},
                               {Qt::Key_F12, Qt::NoModifier, Clear},
                               {Qt::Key_F12, Qt::ShiftModifier | Qt::ControlModifier, Clear},
                               {Qt::Key_Delete, Qt::NoModifier, RemoveFavorite},
                               {Qt::Key_F, Qt::ShiftModifier, AddFavorite},
                               {Qt::Key_F, Qt::ControlModifier, AddFavorite},
                               {Qt::Key_F, Qt::AltModifier, AddFavorite},
                               {Qt::Key_F, Qt::KeypadModifier, Clear},
                               {Qt::Key_F, Qt::NoModifier, Clear},
                               {Qt::Key_Down, Qt::NoModifier, Clear},
                               {Qt::Key_A, Qt::NoModifier, Clear}}) {
        EXPECT_EQ(stationListKeyDown(c.key, c.modifiers), c.action) << c.key;
    }
    EXPECT_TRUE(keyDownPassesOn(ShowAddress));
    EXPECT_FALSE(keyDownPassesOn(AddFavorite));
    EXPECT_FALSE(keyDownPassesOn(Clear));

    struct PressCase {
        int character;
        KeyPressAction action;
    };
    for (const PressCase& c : std::vector<PressCase>{{32, KeyPressAction::Start},
                                                     {13, KeyPressAction::Start},
                                                     {27, KeyPressAction::SendF2},
                                                     {1, KeyPressAction::SelectAll},
                                                     {'A', KeyPressAction::PassOn},
                                                     {'z', KeyPressAction::PassOn},
                                                     {'0', KeyPressAction::Drop},
                                                     {'[', KeyPressAction::Drop},
                                                     {10, KeyPressAction::Drop},
                                                     {0xe9, KeyPressAction::Drop}}) {
        EXPECT_EQ(stationListKeyPress(c.character), c.action) << c.character;
    }
}

TEST(PlayStationTexts, AddressRequestAndCaption) {
    EXPECT_EQ(stationAddress(stationTag("abc")), "abc");
    EXPECT_EQ(stationAddress("abc"), "abc");
    EXPECT_EQ(stationAddress("x###abc%%%1%%%2"), "abc");
    EXPECT_EQ(statsPingRequest("srv", "http://a/b c?x=1&y=2"),
              "http://srv/kinvo39.asp?STATS=1&U=http://a/b c?x=1&y=2");
    EXPECT_EQ(stationCaption("Zulu Beats"), "Kinvo! 3.9 | Zulu Beats");
}

// The main window as the station list's handlers see it.
class RecordingStationView : public StationView {
  public:
    bool stationFrameVisible() const override { return frameVisible; }
    void setStationFrameVisible(bool visible) override {
        frameVisible = visible;
        calls.push_back(visible ? "frame shown" : "frame hidden");
    }
    void setStationListVisible(bool visible) override { listVisible = visible; }
    void focusStationList() override { ++focuses; }
    void setStatText(std::string_view text) override { statText = text; }
    void setStationsText(std::string_view text) override { stationsText = text; }
    void setStatVisible(bool visible) override { statVisible = visible; }
    void setCaption(std::string_view text) override { caption = text; }
    bool playTimeVisible() const override { return searchMode; }
    void setPlayTimeText(std::string_view text) override { playTime = text; }
    void setBandwidthText(std::string_view text) override { bandwidth = text; }
    void setNotesText(std::string_view text) override { notes = text; }
    void setRatingMarks(int shown) override { marks = shown; }
    void sendF2ToActiveWindow() override { ++f2Strokes; }
    void layOut() override { ++layOuts; }

    bool frameVisible = true;
    bool listVisible = true;
    int focuses = 0;
    std::string statText;
    std::string stationsText = "unset";
    bool statVisible = false;
    std::string caption;
    bool searchMode = false;
    std::string playTime = "unset", bandwidth = "unset", notes = "unset";
    int marks = -1;
    int f2Strokes = 0;
    int layOuts = 0;
    std::vector<std::string> calls;
};

class RecordingPlayer : public StationPlayer {
  public:
    explicit RecordingPlayer(ProgramState& state) : state_(state) {}
    void StopPlayer() override { calls.push_back("stop"); }
    void BuildPlayerPage(const std::string& address, std::string& name) override {
        calls.push_back("build " + address + " " + name);
        state_.pendingHelpPage = helpPageToLeave;
    }
    std::vector<std::string> calls;
    std::string helpPageToLeave;

  private:
    ProgramState& state_;
};

using testing::RecordingShell;

class ScriptedInputBox : public InputBox {
  public:
    std::string ask(std::string_view prompt, std::string_view title,
                    std::string_view preset) override {
        asked.push_back(std::string(prompt) + "|" + std::string(title) + "|" + std::string(preset));
        return "typed";
    }
    std::vector<std::string> asked;
};

class StationListTest : public ::testing::Test {
  protected:
    StationListTest()
        : fetcher(state),
          catalogue({state, fetcher, settings, lists, comboS, prompts, catalogueView,
                     home.programFolder()}),
          player(state),
          starter({state, fetcher, lists, comboS, view, player, shell, prompts}),
          favorites({lists, comboS, prompts, view, catalogue, favoritesFile()}),
          events({lists, view, [this] { starter.start(); }, favorites, inputBox}) {
        QDir().mkpath(home.programFolder());
        testing::installCannedCatalogue(fixture, "catalogue.example");
        state.dataServer = "catalogue.example";
        fetcher.setConnectTo(ConnectTarget{"127.0.0.1", static_cast<quint16>(fixture.port()), {}});
        catalogue.setEventPump([] {});
    }

    QString favoritesFile() const { return favoritesFilePath(home.programFolder()); }

    void choose(const std::string& category) {
        comboS.setText(category);
        catalogue.ComboS_Click();
    }

    int statsRequests() const { return fixture.countRequests("/kinvo39.asp?STATS=1"); }

    std::string fileBytes() const {
        QFile file(favoritesFile());
        if (!file.open(QIODevice::ReadOnly)) {
            return "<missing>";
        }
        return file.readAll().toStdString();
    }

    std::vector<std::string> shownTexts() const {
        std::vector<std::string> out;
        for (const auto& shown : prompts.shown) {
            out.push_back(shown.text);
        }
        return out;
    }

    testing::TemporaryHome home;
    HttpFixture fixture;
    ProgramState state;
    SettingsStore settings;
    DocFetcher fetcher;
    StationLists lists;
    CategoryBox comboS;
    testing::ScriptedPrompts prompts;
    testing::RecordingView catalogueView;
    Catalogue catalogue;
    RecordingStationView view;
    RecordingPlayer player;
    RecordingShell shell;
    ScriptedInputBox inputBox;
    StationStarter starter;
    Favorites favorites;
    StationListEvents events;
};

TEST_F(StationListTest, ItemClickShowsDetailsOfTheCurrentStation) {
    choose("Music Video");
    lists.lstStations.setCurrentIndex(0);  // Zulu Beats: 300 kbps, rating 4, notes "Loud"
    events.itemClick();
    EXPECT_EQ(view.bandwidth, "Bandwidth : 300kbps");
    EXPECT_EQ(view.notes, "Loud");
    EXPECT_EQ(view.marks, 4);
    EXPECT_EQ(view.playTime, "unset");  // not in search mode
}

TEST_F(StationListTest, DetailsAreAlwaysTheClickedStationsOwn) {
    // A favorite from no catalogue list the companion list holds.
    lists.lstFavorites.add(EncodeText("Far Away"), EncodeText(stationTag("http://far/away")), 9);
    struct Step {
        const char* category;  // listed from the server the first time, from the cache after
        const char* station;
        const char* notes;
        int marks;
    };
    const Step steps[] = {
        {"Music Video", "Zulu Beats", "Loud", 4},
        {"Music/Entertainment", "Talk Show", "Talk all day", 3},
        {"Music Video", "Caf\xc3\xa9 M\xc3\xbasica", "Smooth", 3},  // from the cache, sorted
        {"Music Video", "Mix TV 24", "", 2},
        {"Favorites", "Far Away", "", 0},  // unknown: nothing, not the last station's details
        {"Music/Entertainment", "quiz night", "", 4},
        {"Music/Entertainment", "Talk Show", "Talk all day", 3},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.category) + " / " + s.station);
        choose(s.category);
        const int row = lists.lstStations.findByText(s.station);
        ASSERT_GE(row, 0);
        lists.lstStations.setCurrentIndex(row);
        events.itemClick();
        EXPECT_EQ(view.notes, s.notes);
        EXPECT_EQ(view.marks, s.marks);
    }
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV"), 2);  // the rest came cached
}

TEST_F(StationListTest, NoStationStartNotificationFromMusicVideoOrVideoSearch) {
    for (const std::string category : {"Music Video", "Video Search"}) {
        comboS.setText(category);
        starter.PlayStation(stationTag(EncodeText("http://media.example/a.qrx")), "A");
        EXPECT_EQ(statsRequests(), 0) << category;
        EXPECT_EQ(player.calls.back(), "build " + EncodeText("http://media.example/a.qrx") + " A");
    }
}

TEST_F(StationListTest, StartNotifiesTheServerWithTheDecodedAddressUnescapedThenBuildsThePage) {
    choose("Music/Entertainment");
    // (The fixture's HTTP library refuses a second "?" in a request, so none here.)
    const std::string plain = "media.example/live.qrx&CDC=abc&x=1";
    const std::string shifted = EncodeText(plain);
    lists.lstStations.add("Live & Loud", stationTag(shifted), 300);
    lists.lstStations.setCurrentIndex(lists.lstStations.count() - 1);
    fixture.clearRequests();
    state.stopRequested = true;

    events.keyPress(13);

    const auto requests = fixture.requests();
    ASSERT_EQ(requests.size(), 1u);
    // The decoded address gets its scheme and goes after "U=" as it is.
    EXPECT_EQ(requests[0].target, "/kinvo39.asp?STATS=1&U=http://" + plain);
    EXPECT_EQ(requests[0].host, "catalogue.example");
    EXPECT_FALSE(state.stopRequested);
    EXPECT_EQ(player.calls,
              (std::vector<std::string>{"stop", "build " + shifted + " Live & Loud"}));
    EXPECT_EQ(state.currentAddress, shifted);
    EXPECT_EQ(view.caption, "Kinvo! 3.9 | Live & Loud");
    EXPECT_EQ(view.statText, "Connecting...");
    EXPECT_TRUE(view.statVisible);
    EXPECT_FALSE(view.frameVisible);
    EXPECT_FALSE(view.listVisible);
}

TEST_F(StationListTest, PendingHelpPageOpensAfterTheStartEvenWithoutAStation) {
    choose("Music Video");
    lists.lstStations.setCurrentIndex(1);
    player.helpPageToLeave = "http://help.example/real.htm";
    events.doubleClick();
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://help.example/real.htm"}));
    EXPECT_TRUE(state.pendingHelpPage.empty());

    lists.lstStations.setCurrentIndex(-1);
    player.calls.clear();
    state.pendingHelpPage = "http://help.example/microsoft.htm";
    events.keyPress(32);
    EXPECT_TRUE(player.calls.empty());  // nothing to start
    EXPECT_EQ(shell.opened.back(), "http://help.example/microsoft.htm");
}

TEST_F(StationListTest, KeysReachTheirHandlers) {
    choose("Music Video");
    lists.lstStations.setCurrentIndex(0);
    EXPECT_TRUE(events.keyDown(Qt::Key_F12, Qt::ShiftModifier));
    const std::string address = EncodeText("http://media.example/zulu.qrx");
    EXPECT_EQ(inputBox.asked, (std::vector<std::string>{address + "|" + address + "|" + address}));

    EXPECT_FALSE(events.keyDown(Qt::Key_Down, Qt::NoModifier));
    EXPECT_FALSE(events.keyPress(27));
    EXPECT_EQ(view.f2Strokes, 1);
    EXPECT_FALSE(events.keyPress(1));
    for (int i = 0; i < lists.lstStations.count(); ++i) {
        EXPECT_TRUE(lists.lstStations.selected(i));
    }
    EXPECT_TRUE(events.keyPress('m'));
    EXPECT_FALSE(events.keyPress('5'));

    EXPECT_FALSE(events.keyDown(Qt::Key_F, Qt::ControlModifier));
    EXPECT_EQ(lists.lstFavorites.count(), 1);
}

TEST_F(StationListTest, StationsMenuTogglesTheFrame) {
    events.menuStations();
    EXPECT_FALSE(view.frameVisible);
    EXPECT_EQ(view.layOuts, 1);
    view.listVisible = false;
    events.menuStations();
    EXPECT_TRUE(view.frameVisible);
    EXPECT_TRUE(view.listVisible);
    EXPECT_EQ(view.focuses, 1);
}

TEST_F(StationListTest, AddingWithoutACurrentStationAsksForOne) {
    choose("Music Video");
    favorites.add();
    EXPECT_EQ(shownTexts(),
              (std::vector<std::string>{"Please select stations to add to your favorites list."}));
    EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Information);
    EXPECT_EQ(fileBytes(), "<missing>");
}

TEST_F(StationListTest, AddingTwiceSaysSoOnlyWithOneStationSelected) {
    choose("Music Video");
    SBList& stations = lists.lstStations;
    stations.setCurrentIndex(0);
    favorites.add();
    ASSERT_EQ(lists.lstFavorites.count(), 1);
    EXPECT_EQ(lists.lstFavorites.text(0), EncodeText("Zulu Beats"));
    EXPECT_EQ(lists.lstFavorites.tag(0), EncodeText(stations.tag(0)));
    EXPECT_EQ(lists.lstFavorites.number(0), 300);
    EXPECT_EQ(prompts.shown.back().text,
              "Station added to favorites list, to access your favorites, select Favorites "
              "category in Category select box on station list.");
    EXPECT_EQ(prompts.shown.back().icon, Prompts::Icon::None);
    const std::string saved = fileBytes();
    EXPECT_NE(saved, "<missing>");

    // LoadCategory selected the first item: exactly one is selected.
    favorites.add();
    EXPECT_EQ(prompts.shown.back().text, "Station Zulu Beats already in favorites list.");
    EXPECT_EQ(prompts.shown.back().icon, Prompts::Icon::None);

    stations.selectAll();
    const std::size_t before = prompts.shown.size();
    favorites.add();
    EXPECT_EQ(prompts.shown.size(), before);  // several selected: nothing said
    EXPECT_EQ(lists.lstFavorites.count(), 1);
    EXPECT_EQ(fileBytes(), saved);
}

TEST_F(StationListTest, MostPopularNamesLoseTheirLastBracketedPart) {
    EXPECT_EQ(favoriteName("Zulu (live) (1234 views)", "Most Popular Stations"), "Zulu (live) ");
    EXPECT_EQ(favoriteName("Zulu", "Most Popular Stations"), "Zulu");
    EXPECT_EQ(favoriteName("Zulu (live)", "Music Video"), "Zulu (live)");

    choose("Most Popular Stations");
    lists.lstStations.add("Hits (99)", stationTag("h1"), 10);
    lists.lstStations.add("Plain", stationTag("h2"), 10);
    for (int i : {lists.lstStations.count() - 2, lists.lstStations.count() - 1}) {
        lists.lstStations.setCurrentIndex(i);
        favorites.add();
    }
    ASSERT_EQ(lists.lstFavorites.count(), 2);
    EXPECT_EQ(decodeFavoriteText(lists.lstFavorites.text(0)), "Hits ");
    EXPECT_EQ(decodeFavoriteText(lists.lstFavorites.text(1)), "Plain");
}

TEST_F(StationListTest, DeleteOutsideTheFavoritesLeavesThemAlone) {
    choose("Music Video");
    lists.lstStations.setCurrentIndex(0);
    favorites.add();
    const std::string saved = fileBytes();
    EXPECT_TRUE(events.keyDown(Qt::Key_Delete, Qt::NoModifier));
    EXPECT_EQ(lists.lstFavorites.count(), 1);
    EXPECT_EQ(lists.lstStations.count(), 4);
    EXPECT_EQ(fileBytes(), saved);
}

TEST_F(StationListTest, DeleteRemovesAFavoriteAndAnUnknownOneOnlyFromTheShownList) {
    choose("Music Video");
    for (int i : {0, 1}) {
        lists.lstStations.setCurrentIndex(i);
        favorites.add();
    }
    view.frameVisible = false;
    view.listVisible = false;
    favorites.menuFavs();
    EXPECT_EQ(comboS.text(), "Favorites");
    EXPECT_TRUE(view.frameVisible);
    EXPECT_TRUE(view.listVisible);
    // Sorted by name: "alpha Vision", "Zulu Beats".
    ASSERT_EQ(lists.lstStations.count(), 2);
    EXPECT_EQ(catalogueView.stationsText, "2 Items");
    lists.lstStations.setCurrentIndex(1);
    events.keyDown(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(view.stationsText, "1 Items");
    ASSERT_EQ(lists.lstFavorites.count(), 1);
    EXPECT_EQ(decodeFavoriteText(lists.lstFavorites.text(0)), "alpha Vision");
    EXPECT_EQ(lists.lstStations.count(), 1);
    EXPECT_TRUE(lists.lstStations.selected(0));
    EXPECT_GE(view.focuses, 1);
    const std::string saved = fileBytes();

    // A shown favorite that lstFavorites does not know: gone from the list, file as it was.
    lists.lstStations.add("Stray", stationTag("stray"), 1);
    lists.lstStations.setCurrentIndex(1);
    favorites.remove();
    EXPECT_EQ(view.stationsText, "1 Items");
    EXPECT_EQ(lists.lstStations.count(), 1);
    EXPECT_EQ(lists.lstFavorites.count(), 1);
    EXPECT_EQ(fileBytes(), saved);
}

TEST_F(StationListTest, FavoritesSurviveARestartSortedByName) {
    choose("Music Video");
    // Added in server order, one with bytes the plain shift would drop.
    lists.lstStations.add("\xff\xfe Last", stationTag("\xfa\xfb"), 9);
    for (int i : {0, 1, 2, 4}) {
        lists.lstStations.setCurrentIndex(i);
        favorites.add();
    }

    StationLists restarted;
    ASSERT_TRUE(restarted.lstFavorites.load(favoritesFile()));
    lists.lstFavorites.clear();
    ASSERT_TRUE(lists.lstFavorites.load(favoritesFile()));
    EXPECT_EQ(restarted.lstFavorites.count(), 4);
    choose("Favorites");
    std::vector<std::string> names;
    for (int i = 0; i < lists.lstStations.count(); ++i) {
        names.push_back(lists.lstStations.text(i));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alpha Vision", "Caf\xc3\xa9 M\xc3\xbasica",
                                               "Zulu Beats", "\xff\xfe Last"}));
    // Every shown favorite, the one with high bytes too, can be removed again.
    while (lists.lstStations.count() > 0) {
        lists.lstStations.setCurrentIndex(0);
        favorites.remove();
    }
    EXPECT_EQ(lists.lstFavorites.count(), 0);
}

// A file that could not be read (left where it is when it could not be moved aside at start) is
// never written over: changes stay in memory.
TEST_F(StationListTest, ADamagedFileIsNeverReplaced) {
    const std::string damaged = "not a list\n\x01\x02";
    {
        QFile file(favoritesFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged.data(), static_cast<qint64>(damaged.size()));
    }
    EXPECT_FALSE(lists.lstFavorites.load(favoritesFile()));
    EXPECT_EQ(lists.lstFavorites.count(), 0);
    choose("Favorites");
    EXPECT_EQ(lists.lstStations.count(), 0);
    choose("Music Video");
    EXPECT_EQ(fileBytes(), damaged);

    lists.lstStations.setCurrentIndex(0);
    favorites.add();
    EXPECT_EQ(lists.lstFavorites.count(), 1);
    EXPECT_EQ(fileBytes(), damaged);
}

TEST_F(StationListTest, SavingReplacesTheFileAndAFailedSaveLeavesItByteForByte) {
    choose("Music Video");
    lists.lstStations.setCurrentIndex(0);
    favorites.add();
    const std::string first = fileBytes();

    // The file is replaced, never written in place: a second name of the old file keeps the
    // old bytes.
    const QString link = home.programFolder() + "/old.lst";
    ASSERT_EQ(::link(favoritesFile().toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    lists.lstStations.setCurrentIndex(1);
    favorites.add();
    const std::string second = fileBytes();
    ASSERT_NE(second, first);
    QFile old(link);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll().toStdString(), first);

    // A write that fails half way (the file size limit, as a full disk would): the change stays
    // in memory, the file keeps every byte, no stray temporary file is left.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(second.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    lists.lstStations.setCurrentIndex(2);
    favorites.add();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(lists.lstFavorites.count(), 3);
    EXPECT_EQ(fileBytes(), second);
    EXPECT_EQ(QDir(home.programFolder()).entryList({"*Favorites.lst*"}, QDir::Files | QDir::Hidden),
              QStringList{"Favorites.lst"});
    // The next change writes all of them.
    lists.lstStations.setCurrentIndex(3);
    favorites.add();
    StationLists restarted;
    ASSERT_TRUE(restarted.lstFavorites.load(favoritesFile()));
    EXPECT_EQ(restarted.lstFavorites.count(), 4);
}

}  // namespace
}  // namespace kinvo
