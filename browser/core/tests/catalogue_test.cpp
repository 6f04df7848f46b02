#include "browser/core/catalogue.h"
#include "browser/core/cache_file.h"
#include "browser/core/category_box.h"
#include "browser/core/doc_fetcher.h"
#include "browser/core/program_state.h"
#include "browser/core/settings_store.h"
#include "browser/core/station_lists.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "browser/core/tests/support/test_support.h"
#include "catalogue/text_shift.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kinvo {
namespace {

using testing::CannedStation;
using testing::HttpFixture;

std::vector<std::string> texts(const SBList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.count(); ++i) {
        out.push_back(list.text(i));
    }
    return out;
}

TEST(CatalogueRequests, ListRequestAndCategoryParameter) {
    struct Case {
        std::string category, speed, request;
    };
    const Case cases[] = {
        {"Music Video", "Broadband",
         "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MINBPS=100&V=3.9"},
        {"Music Video", "ALL Content",
         "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&V=3.9"},
        {"Music Video", "Dialup (56k Modem)",
         "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MAXBPS=56&V=3.9"},
        {"Music Video", "broadband",  // compared exactly
         "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MAXBPS=56&V=3.9"},
        {"Music Video", "", "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MAXBPS=56&V=3.9"},
        {"_Hidden", "ALL Content", "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=&V=3.9"},
        {"", "ALL Content", "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=&V=3.9"},
        {"Most Popular Stations", "ALL Content",
         "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=Most+Popular+Stations&V=3.9"},
        {"R&B/Soul  x", "ALL Content",  // nothing but blanks is escaped
         "http://srv/kinvo39.asp?P=T&T1=LIST_TV&T2=R&B/Soul++x&V=3.9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(listRequest("srv", c.category, c.speed), c.request) << c.category << c.speed;
    }
}

TEST(CacheFile, NamesAndShift) {
    EXPECT_EQ(cacheFilePath("/p", "Music/Entertainment"), "/p/MusicEntertainment.chz");
    EXPECT_EQ(cacheFilePath("/p", "a/b/c d"), "/p/abc d.chz");
    EXPECT_EQ(cacheFilePath("/p", "../x"), "/p/..x.chz");
    // The cache shift is the catalogue's shift wherever that keeps every byte...
    EXPECT_EQ(encodeForCache("Music Video"), EncodeText("Music Video"));
    // ... and wraps where the catalogue's shift would drop one.
    const std::string high = "Caf\xe9 \xff\xfe";
    EXPECT_NE(DecodeText(EncodeText(high), false), high);
    EXPECT_EQ(decodeFromCache(encodeForCache(high)), high);
}

class CatalogueTest : public ::testing::Test {
  protected:
    CatalogueTest()
        : fetcher(state),
          catalogue(
              {state, fetcher, settings, lists, comboS, prompts, view, home.programFolder()}) {
        QDir().mkpath(home.programFolder());
        testing::installCannedCatalogue(fixture, "catalogue.example");
        state.dataServer = "catalogue.example";
        fetcher.setConnectTo(ConnectTarget{"127.0.0.1", static_cast<quint16>(fixture.port()), {}});
        catalogue.setEventPump([this] {
            ++pumps;
            if (onPump) {
                onPump();
            }
        });
    }

    void choose(const std::string& category) {
        comboS.setText(category);
        catalogue.ComboS_Click();
    }

    testing::TemporaryHome home;
    HttpFixture fixture;
    ProgramState state;
    SettingsStore settings;
    DocFetcher fetcher;
    StationLists lists;
    CategoryBox comboS;
    testing::ScriptedPrompts prompts;
    testing::RecordingView view;
    Catalogue catalogue;
    int pumps = 0;
    std::function<void()> onPump;
};

TEST_F(CatalogueTest, FillCategoriesSkipsEmptyNamesAndShowsTheFourth) {
    fixture.answer("/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9", "Music Video||News|Talk|");
    lists.lstStations.add("old", "", 0);
    catalogue.FillCategories();
    EXPECT_EQ(view.statText, "Loading Stations");
    std::vector<std::string> items;
    for (int i = 0; i < comboS.count(); ++i) {
        items.push_back(comboS.item(i));
    }
    EXPECT_EQ(items, (std::vector<std::string>{"Music Video", "News", "Talk", "Favorites",
                                               "Most Popular Stations", "Video Search"}));
    EXPECT_EQ(comboS.text(), "Favorites");
    EXPECT_EQ(lists.lstStations.count(), 0);

    fixture.answer("/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9", "");
    catalogue.FillCategories();
    EXPECT_EQ(comboS.count(), 3);
    EXPECT_EQ(comboS.text(), "");  // there is no fourth entry
}

TEST_F(CatalogueTest, ListsACategoryFromTheServer) {
    settings.write("Speed", "Broadband");
    choose("Music Video");
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&MINBPS=100&V=3.9"),
              1);
    EXPECT_EQ(texts(lists.lstStations),
              (std::vector<std::string>{"Zulu Beats", "alpha Vision", "Caf\xc3\xa9 M\xc3\xbasica",
                                        "Mix TV 24"}));
    EXPECT_EQ(lists.lstStations2.count(), 4);
    EXPECT_TRUE(lists.lstStations.selected(0));
    EXPECT_FALSE(lists.lstStations.selected(1));
    EXPECT_EQ(view.stationsText, "4 Items");
    EXPECT_EQ(view.bandwidthText, "");
    EXPECT_TRUE(view.rateFrameVisible);
    EXPECT_TRUE(view.rateButtonVisible);
    EXPECT_EQ(view.stationListHeight, 4080);
    EXPECT_FALSE(view.playTimeVisible());
    EXPECT_TRUE(view.stationListVisible);
    EXPECT_TRUE(view.windowEnabled);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(comboS.enabled());
    EXPECT_EQ(view.layOuts, 1);
    EXPECT_TRUE(QFileInfo::exists(home.programFolder() + "/Music Video.chz"));

    choose("News");  // an empty answer
    EXPECT_EQ(view.stationsText, "0 Items");
    EXPECT_FALSE(view.rateFrameVisible);
    EXPECT_EQ(view.stationListHeight, 4900);
    EXPECT_FALSE(QFileInfo::exists(home.programFolder() + "/News.chz"));
    choose("News");  // asked again: nothing was cached
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV&T2=News"), 2);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(CatalogueTest, SecondListingComesFromTheCacheSortedUnlessPopular) {
    const std::vector<std::string> serverOrder = {"Zulu Beats", "alpha Vision",
                                                  "Caf\xc3\xa9 M\xc3\xbasica", "Mix TV 24"};
    const std::vector<std::string> byName = {"alpha Vision", "Caf\xc3\xa9 M\xc3\xbasica",
                                             "Mix TV 24", "Zulu Beats"};
    for (const std::string category : {"Music Video", "Most Popular Stations"}) {
        choose(category);
        EXPECT_EQ(texts(lists.lstStations), serverOrder) << category;
        const std::string firstTag = lists.lstStations.tag(0);
        choose(category);
        EXPECT_EQ(
            fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV&T2=" + categoryParameter(category)),
            1)
            << category;
        EXPECT_EQ(texts(lists.lstStations), category == "Music Video" ? byName : serverOrder)
            << category;
        const int zulu = lists.lstStations.findByText("Zulu Beats");
        EXPECT_EQ(lists.lstStations.tag(zulu), firstTag);
        EXPECT_EQ(lists.lstStations.number(zulu), 300);
        EXPECT_FALSE(lists.lstStations.sorted());
        EXPECT_EQ(view.stationsText, "4 Items");
    }
}

TEST_F(CatalogueTest, CacheKeepsEveryByteOfTheFirstListing) {
    fixture.answer("/kinvo39.asp?P=T&T1=LIST_TV&T2=Odd&MINBPS=100&V=3.9",
                   testing::catalogueDocument(
                       {{"http://a", "\xff info", "0", "Caf\xe9 \xff\xfe", "1", "0", "1", "n"}}));
    choose("Odd");
    ASSERT_EQ(lists.lstStations.count(), 1);
    const std::string text = lists.lstStations.text(0);
    const std::string tag = lists.lstStations.tag(0);
    choose("Odd");
    ASSERT_EQ(lists.lstStations.count(), 1);
    EXPECT_EQ(lists.lstStations.text(0), text);
    EXPECT_EQ(lists.lstStations.tag(0), tag);
}

TEST_F(CatalogueTest, ADamagedCacheFileIsAskedForAgain) {
    const QString cache = home.programFolder() + "/Music Video.chz";
    SBList lone;  // a station without the companion item that follows each one
    lone.add("a", "b", 1);
    const std::string damaged[] = {"SBList 1\n2\n3 3 1\nabc", SBList::serialize(lone)};
    int requests = 0;
    for (const std::string& bytes : damaged) {
        choose("Music Video");
        ++requests;
        QFile file(cache);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        file.close();
        choose("Music Video");
        ++requests;
        EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video"), requests);
        EXPECT_EQ(lists.lstStations.count(), 4);
        EXPECT_EQ(lists.lstStations2.count(), 4);
        SBList written;
        EXPECT_TRUE(written.load(cache));  // rewritten whole: each station, then its notes
        EXPECT_EQ(written.count(), 8);
        QFile::remove(cache);
    }
}

TEST_F(CatalogueTest, StopDuringTheParseKeepsWhatWasRead) {
    std::vector<CannedStation> stations;
    for (int i = 0; i < 20; ++i) {
        stations.push_back(
            {"http://s" + std::to_string(i), "i", "e", "S" + std::to_string(i), "1", "0", "1", ""});
    }
    fixture.answer("/kinvo39.asp?P=T&T1=LIST_TV&T2=Long&MINBPS=100&V=3.9",
                   testing::catalogueDocument(stations));
    onPump = [this] {
        if (pumps == 9) {  // while the fifth station is read
            state.stopRequested = true;
        }
    };
    choose("Long");
    EXPECT_EQ(lists.lstStations.count(), 5);
    EXPECT_EQ(view.stationsText, "5 Items");
    onPump = nullptr;
    // The stopped listing is what the cache holds for the rest of the run.
    choose("Long");
    EXPECT_EQ(lists.lstStations.count(), 5);
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp?P=T&T1=LIST_TV&T2=Long"), 1);
    // A new server listing clears the flag first.
    choose("Music Video");
    EXPECT_FALSE(state.stopRequested);
    EXPECT_EQ(lists.lstStations.count(), 4);
}

TEST_F(CatalogueTest, AdultSettings) {
    fixture.answer("/kinvo39.asp?P=T&T1=LIST_TV&T2=Mixed&MINBPS=100&V=3.9",
                   testing::catalogueDocument({
                       {"http://a", "i", "e", "Family", "1", "0", "1", ""},
                       {"http://b", "i", "e", "Adult Only", "1", "0", "1", ""},
                       {"http://c", "i", "e", "nonadultish", "1", "0", "1", ""},
                   }));
    struct Case {
        const char* setting;  // nullptr: never written
        int listed;
    };
    const Case cases[] = {{nullptr, 3}, {"1", 3}, {"0", 1}, {"2", 0}, {"yes", 0}, {"", 0}};
    for (const Case& c : cases) {
        if (c.setting != nullptr) {
            settings.write("AdultSettings", c.setting);
        }
        deleteCacheFiles(home.programFolder());
        choose("Mixed");
        EXPECT_EQ(lists.lstStations.count(), c.listed) << (c.setting ? c.setting : "unset");
    }
}

TEST_F(CatalogueTest, FavoritesAreListedFromTheFavoritesList) {
    choose("Favorites");
    EXPECT_EQ(view.stationsText, "0 Items");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "No current favorite stations- please select stations from any category and click "
              "'Add to Favorites'");
    EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Information);
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp"), 0);

    lists.lstFavorites.add(EncodeText("zeta"), EncodeText("i!!!###adr%%%0"), 56);
    lists.lstFavorites.add(EncodeText("Beta"), EncodeText("j!!!###adr2%%%0"), 300);
    prompts.shown.clear();
    choose("my favorites");  // any text with the word, in any case
    EXPECT_EQ(texts(lists.lstStations), (std::vector<std::string>{"Beta", "zeta"}));
    EXPECT_EQ(lists.lstStations.tag(0), "j!!!###adr2%%%0");
    EXPECT_EQ(lists.lstStations.number(0), 300);
    EXPECT_FALSE(lists.lstStations.sorted());
    EXPECT_EQ(view.stationsText, "2 Items");
    EXPECT_EQ(view.stationListHeight, 4900);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp"), 0);
}

TEST_F(CatalogueTest, VideoSearchOpensTheSearchInsteadOfListing) {
    choose("Video Search");
    EXPECT_EQ(view.videoSearches, 1);
    EXPECT_FALSE(view.rateFrameVisible);
    EXPECT_FALSE(view.rateButtonVisible);
    EXPECT_TRUE(view.windowEnabled);
    EXPECT_EQ(fixture.countRequests("/kinvo39.asp"), 0);
}

TEST_F(CatalogueTest, LargeFontsKeepTheListHeight) {
    state.largeFonts = true;
    view.stationListHeight = 1234;
    choose("News");
    EXPECT_EQ(view.stationListHeight, 1234);
}

TEST_F(CatalogueTest, DeleteCacheFilesRemovesOnlyCacheFiles) {
    const QString folder = home.programFolder();
    for (const char* name : {"a.chz", "B.CHZ", "keep.lst", "keep.chz.txt"}) {
        QFile file(folder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    deleteCacheFiles(folder);
    QStringList left = QDir(folder).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"keep.chz.txt", "keep.lst"}));
}

}  // namespace
}  // namespace kinvo
