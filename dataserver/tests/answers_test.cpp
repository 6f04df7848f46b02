// The answers the browser parses, fetched with curl from the running server.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>

#include "catalogue/text_shift.h"
#include "dataserver/tests/catalogue_fixture.h"

namespace kinvo::ds::test {
namespace {

class Answers : public CatalogueFixture {};

std::vector<std::string> names(const std::vector<ReadEntry>& entries) {
    std::vector<std::string> out;
    for (const ReadEntry& e : entries) {
        EXPECT_FALSE(e.broken) << e.address;
        out.push_back(e.name);
    }
    return out;
}

TEST_F(Answers, DiscoveryAnswersTheBareHostName) {
    HttpAnswer a = get("/redirect35.asp");
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.body, "127.0.0.1");
}

TEST_F(Answers, VersionCheckRejectsOnlyOlderVersions) {
    struct Case {
        std::string query;
        std::string answer;
    };
    for (const Case& c : std::vector<Case>{{"VER=1&P=T&V=3.9", "Version OK"},
                                           {"VER=1&P=T&V=4.0", "Version OK"},
                                           {"VER=1&P=T&V=3.10", "Version OK"},
                                           {"VER=1&P=T&V=3.8", "Version NO"},
                                           {"VER=1&P=T&V=2", "Version NO"},
                                           {"VER=1&P=T&V=", "Version NO"},
                                           {"VER=1&P=T", "Version NO"},
                                           {"VER=1&P=T&V=abc", "Version NO"}}) {
        HttpAnswer a = get("/reg.asp?" + c.query);
        EXPECT_EQ(a.status, 200) << c.query;
        EXPECT_EQ(a.body, c.answer) << c.query;
    }
}

TEST_F(Answers, CategoryNamesInCatalogueOrderJoinedByBars) {
    HttpAnswer a = get("/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9");
    EXPECT_EQ(a.body, "Music/Entertainment|Music Video|News and Talk");
}

TEST_F(Answers, EveryConnectionClassListsItsStationsInCatalogueOrder) {
    struct Case {
        std::string ending;
        std::vector<std::string> expected;
    };
    std::vector<Case> cases{
        {"&MINBPS=100&V=3.9", {"Alpha Station", "Delta Broad", "Adult Night Owl"}},
        {"&V=3.9", {"Alpha Station", "Beta Dial", "Gamma Mid", "Delta Broad", "Adult Night Owl"}},
        {"&MAXBPS=56&V=3.9", {"Beta Dial"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(names(list("Music/Entertainment", c.ending)), c.expected) << c.ending;
    }
}

TEST_F(Answers, EveryFieldReadsBackAsTheCatalogueHoldsIt) {
    auto entries = list("Music/Entertainment", "&V=3.9");
    ASSERT_EQ(entries.size(), 5u);
    const ReadEntry& alpha = entries[0];
    EXPECT_EQ(alpha.decodedAddress(), "http://media.example/alpha.mov");
    EXPECT_EQ(alpha.info, "Live");
    EXPECT_EQ(alpha.extra, "Big");
    EXPECT_EQ(alpha.bandwidth, 300);
    EXPECT_EQ(alpha.time, "Live");
    EXPECT_EQ(alpha.rating, "4");
    EXPECT_EQ(alpha.notes, "Loud and clear");
    // The browser finds the address again between the tag's "###" and "%%%".
    std::string tag = alpha.tag();
    std::size_t from = tag.find("###") + 3;
    EXPECT_EQ(DecodeText(tag.substr(from, tag.find("%%%", from) - from), true),
              "http://media.example/alpha.mov");

    const ReadEntry& beta = entries[1];
    EXPECT_EQ(beta.time, "1:05");
    EXPECT_EQ(beta.rating, "None");  // no rating anywhere yet
    EXPECT_EQ(beta.notes, "None");
    EXPECT_EQ(beta.extra, "");

    // A catalogue that stores "0" gets the browser's own readings of it.
    EXPECT_EQ(entries[2].info, "Unknown");
    EXPECT_EQ(entries[2].extra, "");
    EXPECT_EQ(entries[2].decodedAddress(), "mms://media.example/gamma.wmv");
}

TEST_F(Answers, CategoriesTheCatalogueLacksAnswerTheDefaultElseTheFirstListed) {
    struct Case {
        std::string category;
        std::string ending;
        std::vector<std::string> expected;
    };
    const std::vector<std::string> defaults = names(list("Music/Entertainment", "&V=3.9"));
    // No station of the default category (nor of "Music Video") is at or below 30 kbps.
    const std::vector<std::string> firstListed{"Morning Paper"};
    for (const Case& c : std::vector<Case>{{"", "&V=3.9", defaults},
                                           {"_Anything", "&V=3.9", defaults},
                                           {"No Such", "&V=3.9", defaults},
                                           {"%", "&V=3.9", defaults},
                                           {"No Such", "&MAXBPS=30&V=3.9", firstListed},
                                           {"", "&MAXBPS=30&V=3.9", firstListed},
                                           // Names the catalogue has stay as they are.
                                           {"News and Talk", "&MINBPS=100&V=3.9", {}},
                                           {"Most Popular Stations", "&V=3.9", {}}}) {
        EXPECT_EQ(names(list(c.category, c.ending)), c.expected) << c.category << c.ending;
    }
    HttpAnswer noT2 = get("/kinvo39.asp?P=T&T1=LIST_TV&V=3.9");
    EXPECT_EQ(names(readList(noT2.body, false)), defaults);
}

TEST_F(Answers, BlanksArriveAsPlusSigns) {
    EXPECT_EQ(names(list("Music Video", "&V=3.9")),
              (std::vector<std::string>{"Video One", "Video Two"}));
    EXPECT_EQ(names(list("News and Talk", "&MAXBPS=56&V=3.9")),
              (std::vector<std::string>{"Morning Paper"}));
}

TEST_F(Answers, UnknownOrBrokenRequestGivesAnEmptyListNotAnError) {
    for (const std::string& target : std::vector<std::string>{
             "/kinvo39.asp?P=T&T1=NOTHING", "/kinvo39.asp",
             "/kinvo39.asp?&&&=", "/kinvo39.asp?P=T&T1=LIST_TV&T2=" + std::string(3000, 'a')}) {
        HttpAnswer a = get(target);
        EXPECT_EQ(a.status, 200) << target;
        EXPECT_TRUE(readList(a.body, false).empty()) << target;
    }
}

TEST_F(Answers, MostPopularOrdersByStartsAndShowsTheCount) {
    auto start = [&](const std::string& address, int times) {
        for (int i = 0; i < times; ++i) {
            HttpAnswer a = get("/kinvo39.asp?STATS=1&U=" + address);
            EXPECT_EQ(a.status, 200);
            EXPECT_EQ(a.body, "OK");
        }
    };
    EXPECT_TRUE(list("Most Popular Stations", "&V=3.9").empty());
    start("http://media.example/beta.mp3", 3);
    start("http://media.example/v1.wmv", 5);
    start("mms://media.example/gamma.wmv", 3);
    auto all = list("Most Popular Stations", "&V=3.9");
    EXPECT_EQ(names(all),
              (std::vector<std::string>{"Video One (5)", "Beta Dial (3)", "Gamma Mid (3)"}));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].decodedAddress(), "http://media.example/v1.wmv");
    EXPECT_EQ(all[0].notes, "Nice clips");
    // The class applies to the popular list too.
    EXPECT_EQ(names(list("Most Popular Stations", "&MINBPS=100&V=3.9")),
              (std::vector<std::string>{"Video One (5)"}));
}

TEST_F(Answers, StationStartsCountOnlyKnownAddresses) {
    // The browser sends the decoded address unescaped, so a query of its own stays in U.
    auto extra =
        dir_.write("extra.csv",
                   "category,name,address,bandwidth\n"
                   "Music Video,Query Station,http://media.example/q.asp?id=7&fmt=wmv,99\n");
    ASSERT_EQ(import({extra.string()}).status, 0);
    EXPECT_EQ(get("/kinvo39.asp?STATS=1&U=http://media.example/q.asp?id=7&fmt=wmv").body, "OK");
    EXPECT_EQ(get("/kinvo39.asp?STATS=1&U=http://media.example/nothing.wmv").body, "");
    EXPECT_EQ(get("/kinvo39.asp?STATS=1&U=").body, "");
    EXPECT_EQ(get("/kinvo39.asp?STATS=1").body, "");
    EXPECT_EQ(names(list("Most Popular Stations", "&V=3.9")),
              (std::vector<std::string>{"Query Station (1)"}));
}

TEST_F(Answers, SearchFindsNamesInfoNotesAndTagsWithPlayTimeInSeconds) {
    struct Case {
        std::string term;
        std::vector<std::string> found;  // sorted
    };
    for (const Case& c : std::vector<Case>{{"delta", {"Delta Broad"}},             // name
                                           {"Weekly", {"Delta Broad"}},            // notes
                                           {"talk", {"Beta Dial"}},                // info and tags
                                           {"clips", {"Video One", "Video Two"}},  // tags
                                           {"vid", {"Video One", "Video Two"}},    // a partial word
                                           {"n", {"Adult Night Owl", "Morning Paper", "Video One"}},
                                           {"rock+clips", {"Video Two"}},  // every word must match
                                           {"nothing+here", {}},
                                           {"\"*", {}}}) {
        HttpAnswer a = get("/kinvo39.asp?P=T&SEARCH=1&T1=" + c.term + "&V=3.9");
        EXPECT_EQ(a.status, 200) << c.term;
        auto entries = readList(a.body, true);
        auto found = names(entries);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.found) << c.term;
    }
    auto delta = readList(get("/kinvo39.asp?P=T&SEARCH=1&T1=delta&V=3.9").body, true);
    ASSERT_EQ(delta.size(), 1u);
    EXPECT_EQ(delta[0].time, "187");
    EXPECT_EQ(delta[0].decodedAddress(), "http://media.example/delta.swf");
}

TEST_F(Answers, SearchHonoursTheClassAndBrokenTerms) {
    auto count = [&](const std::string& query) {
        return readList(get("/kinvo39.asp?P=T&SEARCH=1&T1=" + query).body, true).size();
    };
    EXPECT_EQ(count("clips&MINBPS=100&V=3.9"), 1u);
    EXPECT_EQ(count("clips&MAXBPS=56&V=3.9"), 1u);
    // "rock&roll" arrives as T1=rock and a stray "roll": a partial answer, never an error.
    EXPECT_EQ(count("rock&roll&V=3.9"), 2u);
    EXPECT_EQ(count("100%&V=3.9"), 0u);
    EXPECT_EQ(count("&V=3.9"), 0u);
}

class AbsentDefault : public CatalogueFixture {
  protected:
    std::vector<std::string> serverOptions() const override {
        return {"--quiet", "--default-category", "Nowhere"};
    }
};

TEST_F(AbsentDefault, ADefaultTheCatalogueLacksIsReportedAndTheFirstCategoryAnswers) {
    EXPECT_EQ(names(list("", "&V=3.9")), names(list("Music/Entertainment", "&V=3.9")));
    Finished f = server_->stop(SIGTERM);
    EXPECT_NE(f.err.find("no category \"Nowhere\""), std::string::npos) << f.err;
}

class LimitedAnswers : public CatalogueFixture {
  protected:
    std::vector<std::string> serverOptions() const override {
        return {"--quiet",
                "--search-limit",
                "2",
                "--popular-limit",
                "1",
                "--host",
                "data.kinvo.test",
                "--default-category",
                "Music Video",
                "--min-version",
                "4.1"};
    }
};

TEST_F(LimitedAnswers, OperatorSettingsBoundTheAnswers) {
    EXPECT_EQ(get("/redirect35.asp").body, "data.kinvo.test");
    EXPECT_EQ(get("/reg.asp?VER=1&P=T&V=3.9").body, "Version NO");
    EXPECT_EQ(get("/reg.asp?VER=1&P=T&V=4.1").body, "Version OK");
    EXPECT_EQ(names(list("", "&V=3.9")), (std::vector<std::string>{"Video One", "Video Two"}));
    EXPECT_EQ(readList(get("/kinvo39.asp?P=T&SEARCH=1&T1=n&V=3.9").body, true).size(), 2u);
    get("/kinvo39.asp?STATS=1&U=http://media.example/v1.wmv");
    get("/kinvo39.asp?STATS=1&U=http://media.example/v2.mov");
    EXPECT_EQ(list("Most Popular Stations", "&V=3.9").size(), 1u);
}

}  // namespace
}  // namespace kinvo::ds::test
