#include "browser/core/video_search.h"
#include "browser/core/catalogue.h"
#include "browser/core/category_box.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/station_lists.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/test_support.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kinvo {
namespace {

using testing::CannedStation;
using Outcome = VideoSearch::Outcome;

TEST(SearchRequest, TermAndConnectionClass) {
    struct Case {
        std::string term, speed, request;
    };
    const std::string start = "http://srv/kinvo39.asp?P=T&SEARCH=1&T1=";
    const Case cases[] = {
        {"star trek", "Broadband", start + "star+trek&MINBPS=100&V=3.9"},
        {"comedy", "ALL Content", start + "comedy&V=3.9"},
        {"comedy", "Dialup (56k Modem)", start + "comedy&MAXBPS=56&V=3.9"},
        {"comedy", "anything else", start + "comedy&MAXBPS=56&V=3.9"},
        {"R&B 100%", "ALL Content", start + "R&B+100%&V=3.9"},  // only blanks change
    };
    for (const Case& c : cases) {
        EXPECT_EQ(searchRequest("srv", c.term, c.speed), c.request) << c.term << c.speed;
    }
}

// The dialog's controls as plain values.
struct RecordingForm : SearchForm {
    void setTermEnabled(bool enabled) override { termEnabled = enabled; }
    void setTerm(std::string_view text) override { term = text; }
    void focusTerm() override { ++focused; }
    void setOkEnabled(bool enabled) override { okEnabled = enabled; }
    void setOkCaption(std::string_view caption) override { okCaption = caption; }
    void setBusy(bool on) override { busy = on; }
    void showProgress(int value, int maximum) override {
        progress = value;
        progressMaximum = maximum;
    }
    void setTimerRunning(bool running) override { timerRunning = running; }
    void closeForm() override { ++closed; }

    bool termEnabled = true, okEnabled = true, busy = false, timerRunning = false;
    std::string term = "typed", okCaption = "&Search";
    int focused = 0, closed = 0, progress = -1, progressMaximum = -1;
};

class VideoSearchTest : public ::testing::Test {
  protected:
    VideoSearchTest()
        : fetcher(state),
          catalogue({state, fetcher, settings, lists, comboS, prompts, view, home.programFolder()}),
          search({state, fetcher, settings, lists, comboS, prompts, view, catalogue, form}) {
        testing::installCannedCatalogue(fixture, "catalogue.example");
        state.dataServer = "catalogue.example";
        fetcher.setConnectTo(ConnectTarget{"127.0.0.1", static_cast<quint16>(fixture.port()), {}});
        catalogue.setEventPump([] {});
    }

    testing::TemporaryHome home;
    testing::HttpFixture fixture;
    ProgramState state;
    SettingsStore settings;
    DocFetcher fetcher;
    StationLists lists;
    CategoryBox comboS;
    testing::ScriptedPrompts prompts;
    testing::RecordingView view;
    Catalogue catalogue;
    RecordingForm form;
    VideoSearch search;
};

TEST_F(VideoSearchTest, OpeningPreparesTheMainWindowForResults) {
    lists.lstStations.add("old", "", 0);
    view.setPlayTimeVisible(false);
    comboS.setText("Music Video");
    search.load();
    EXPECT_EQ(view.playTimeText, "");
    EXPECT_EQ(view.bandwidthText, "");
    EXPECT_EQ(view.stationsText, "0 Items");
    EXPECT_EQ(lists.lstStations.count(), 0);
    EXPECT_TRUE(view.playTimeVisible());
    EXPECT_EQ(view.stationListHeight, 4900);
    EXPECT_EQ(comboS.text(), "Video Search");
}

TEST_F(VideoSearchTest, ATermShorterThanFourCharactersNeverReachesTheServer) {
    for (const std::string term : {"", "abc", "\xc3\xa9t\xc3\xa9"}) {
        prompts.shown.clear();
        EXPECT_EQ(search.search(term), Outcome::TermTooShort) << term;
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, "Search term must be at least 4 letters.");
        EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Critical);
    }
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&SEARCH"), 0);
    EXPECT_TRUE(form.okEnabled);
    EXPECT_EQ(form.term, "typed");
    EXPECT_EQ(form.progress, -1);
}

TEST_F(VideoSearchTest, ResultsFillTheListSortedAndCloseTheDialog) {
    settings.write("Speed", "ALL Content");
    std::vector<CannedStation> found = testing::musicVideoStations();
    fixture.answer("/kinvo39.asp?P=T&SEARCH=1&T1=mix+tv&V=3.9",
                   testing::Answer{testing::catalogueDocument(found, true), 200,
                                   std::chrono::milliseconds(300)});
    // While the request runs the dialog refuses to close and takes no second search.
    bool closableDuringSearch = true, okDuringSearch = true, timerDuringSearch = false;
    QTimer::singleShot(100, [&] {
        closableDuringSearch = search.closeAllowed();
        okDuringSearch = form.okEnabled || form.termEnabled;
        timerDuringSearch = form.timerRunning && form.busy;
    });
    search.load();
    EXPECT_EQ(search.search("mix tv"), Outcome::Found);
    EXPECT_FALSE(closableDuringSearch);
    EXPECT_FALSE(okDuringSearch);
    EXPECT_TRUE(timerDuringSearch);

    ASSERT_EQ(lists.lstStations.count(), static_cast<int>(found.size()));
    for (int i = 1; i < lists.lstStations.count(); ++i) {
        EXPECT_LE(
            QString::fromStdString(lists.lstStations.text(i - 1))
                .compare(QString::fromStdString(lists.lstStations.text(i)), Qt::CaseInsensitive),
            0);
    }
    EXPECT_EQ(view.stationsText, std::to_string(found.size()) + " Items");
    EXPECT_EQ(form.closed, 1);
    EXPECT_TRUE(search.closeAllowed());
    EXPECT_TRUE(form.okEnabled && form.termEnabled);
    EXPECT_FALSE(form.busy || form.timerRunning);
    EXPECT_EQ(form.progress, 0);
    EXPECT_EQ(form.progressMaximum, 120);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(VideoSearchTest, NothingFoundKeepsTheDialogOpenWithAnEmptyTerm) {
    // An answer without stations, an error page and an unreachable server all find nothing.
    fixture.answer("/kinvo39.asp?P=T&SEARCH=1&T1=nothing&MINBPS=100&V=3.9", "<html></html>");
    fixture.answer("/kinvo39.asp?P=T&SEARCH=1&T1=broken&MINBPS=100&V=3.9",
                   testing::Answer{"oops", 500});
    for (const std::string term : {"nothing", "broken", "unreachable"}) {
        if (term == "unreachable") {
            fetcher.setConnectTo(ConnectTarget{"127.0.0.1", 1, {}});
        }
        prompts.shown.clear();
        form = RecordingForm{};
        EXPECT_EQ(search.search(term), Outcome::NothingFound) << term;
        ASSERT_EQ(prompts.shown.size(), 1u) << term;
        EXPECT_EQ(prompts.shown[0].text,
                  "0 results found.  Please check your spelling or try to search a more general "
                  "term.  If your results are not found, please check back as we update content "
                  "every week.");
        EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Information);
        EXPECT_EQ(form.okCaption, "OK");
        EXPECT_EQ(form.term, "");
        EXPECT_EQ(form.focused, 1);
        EXPECT_EQ(form.closed, 0);
        EXPECT_TRUE(form.termEnabled && form.okEnabled && search.closeAllowed());
    }
}

TEST_F(VideoSearchTest, TheBarFillsInTwoMinutesAndStaysFull) {
    fixture.answer("/kinvo39.asp?P=T&SEARCH=1&T1=slow&MINBPS=100&V=3.9",
                   testing::Answer{"", 200, std::chrono::milliseconds(200)});
    std::vector<int> shown;
    QTimer::singleShot(50, [&] {
        for (int i = 0; i < 125; ++i) {
            search.tick();
            shown.push_back(form.progress);
        }
    });
    search.search("slow");
    ASSERT_EQ(shown.size(), 125u);
    EXPECT_EQ(shown[0], 1);
    EXPECT_EQ(shown[119], 120);
    EXPECT_EQ(shown[124], 120);  // beyond the maximum the bar keeps its value
    EXPECT_EQ(form.progress, 0);
}

}  // namespace
}  // namespace kinvo
