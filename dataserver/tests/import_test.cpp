// `kinvo-dataserver import` on well-formed and damaged playlists: what lands in the catalogue is
// checked through the running server's lists, and a damaged import must leave nothing behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "dataserver/tests/catalogue_fixture.h"

namespace kinvo::ds::test {
namespace {

class Import : public CatalogueFixture {
  protected:
    std::vector<std::string> names(const std::string& category) {
        std::vector<std::string> out;
        for (const ReadEntry& e : list(category, "&V=3.9")) {
            EXPECT_FALSE(e.broken);
            out.push_back(e.name);
        }
        return out;
    }
    std::string categories() { return get("/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9").body; }
};

constexpr const char* kFixtureCategories = "Music/Entertainment|Music Video|News and Talk";

TEST_F(Import, ExtendedM3uWithAttributes) {
    auto file =
        dir_.write("tv.m3u",
                   "#EXTM3U x-tvg-url=\"ignored\"\r\n"
                   "#EXTINF:-1 tvg-id=\"x\" tvg-name=\"Canal Uno\" tvg-logo=\"http://l/1.png\" "
                   "group-title=\"World TV\" bandwidth=\"220\" info=\"Spanish\",Shown Title\r\n"
                   "http://tv.example/uno.m3u8\r\n"
                   "\r\n"
                   "#EXTINF:185,Second, with comma\r\n"
                   "#EXTGRP:World TV\r\n"
                   "http://tv.example/dos.mp4\r\n"
                   "http://tv.example/tres.mov\r\n");
    Finished f = import({"--category", "World TV", file.string()});
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_NE(f.err.find("imported 3 stations"), std::string::npos);
    auto entries = list("World TV", "&V=3.9");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "Canal Uno");  // tvg-name wins over the title
    EXPECT_EQ(entries[0].bandwidth, 220);
    EXPECT_EQ(entries[0].info, "Spanish");
    EXPECT_EQ(entries[1].name, "Second, with comma");
    EXPECT_EQ(entries[1].time, "3:05");
    EXPECT_EQ(entries[2].name, "tres");  // no #EXTINF: named after the file
    EXPECT_EQ(categories(), std::string(kFixtureCategories) + "|World TV");
}

TEST_F(Import, GroupTitleIsTheCategoryWhenNoneIsGiven) {
    auto file = dir_.write("groups.m3u",
                           "#EXTM3U\n"
                           "#EXTINF:-1 group-title=\"Alpha Group\",One\nhttp://g/1.wmv\n"
                           "#EXTINF:-1 group-title=\"Beta Group\",Two\nhttp://g/2.wmv\n"
                           "#EXTINF:-1 group-title=\"Alpha Group\",Three\nhttp://g/3.wmv\n");
    ASSERT_EQ(import({file.string()}).status, 0);
    EXPECT_EQ(names("Alpha Group"), (std::vector<std::string>{"One", "Three"}));
    EXPECT_EQ(names("Beta Group"), (std::vector<std::string>{"Two"}));
}

TEST_F(Import, PlsInEntryNumberOrder) {
    auto file = dir_.write("radio.pls",
                           "[playlist]\nNumberOfEntries=2\n"
                           "File2=http://r.example/two.mp3\nTitle2=Second Radio\nLength2=-1\n"
                           "File1=http://r.example/one.mp3\nTitle1=First Radio\nLength1=65\n"
                           "Version=2\n");
    ASSERT_EQ(import({"--category", "Radio", file.string()}).status, 0);
    auto entries = list("Radio", "&V=3.9");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "First Radio");
    EXPECT_EQ(entries[0].time, "1:05");
    EXPECT_EQ(entries[1].name, "Second Radio");
    EXPECT_EQ(entries[1].time, "");
}

TEST_F(Import, StationsWithoutBandwidthAreListedForEveryClass) {
    // IPTV playlists and PLS files say nothing of bandwidth; such stations must not vanish from
    // the broadband class the browser asks for by default, nor from dial-up or search.
    auto m3u = dir_.write("iptv.m3u",
                          "#EXTM3U\n#EXTINF:-1,Open One\nhttp://o/1.m3u8\n"
                          "#EXTINF:-1,Open Two\nhttp://o/2.m3u8\n");
    auto pls = dir_.write("open.pls", "[playlist]\nFile1=http://o/3.mp3\nTitle1=Open Three\n");
    auto csv = dir_.write("fast.csv", "name,address,bandwidth\nOpen Fast,http://o/4.mov,300\n");
    Finished f = import({"--category", "Open", m3u.string(), pls.string(), csv.string()});
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_NE(f.err.find("3 stations have no bandwidth; they are listed for every connection"),
              std::string::npos)
        << f.err;
    struct Case {
        std::string ending;
        std::vector<std::string> listed;
    };
    const std::vector<std::string> open{"Open One", "Open Two", "Open Three"};
    for (const Case& c : std::vector<Case>{
             {"&MINBPS=100&V=3.9", {"Open One", "Open Two", "Open Three", "Open Fast"}},
             {"&MAXBPS=56&V=3.9", open},
             {"&V=3.9", {"Open One", "Open Two", "Open Three", "Open Fast"}}}) {
        std::vector<std::string> listed;
        for (const ReadEntry& e : list("Open", c.ending)) {
            listed.push_back(e.name);
        }
        EXPECT_EQ(listed, c.listed) << c.ending;
        auto found = readList(get("/kinvo39.asp?P=T&SEARCH=1&T1=open" + c.ending).body, true);
        EXPECT_EQ(found.size(), c.listed.size()) << c.ending;
    }
}

TEST_F(Import, CsvWithQuotesAndAnyColumnOrder) {
    auto file =
        dir_.write("q.csv",
                   "\xEF\xBB\xBFNotes,URL,Name,Category,Adult\r\n"
                   "\"Says \"\"hi\"\", twice\",http://c/1.mov,\"Quoted, Name\",Talk Shows,no\r\n"
                   ",http://c/2.mov,Plain,Talk Shows,\r\n");
    Finished f = import({file.string()});
    ASSERT_EQ(f.status, 0) << f.err;
    auto entries = list("Talk Shows", "&V=3.9");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Quoted, Name");
    EXPECT_EQ(entries[0].notes, "Says \"hi\", twice");
}

TEST_F(Import, ReimportUpdatesStationsInPlace) {
    auto first = dir_.write(
        "a.csv", "category,name,address,bandwidth\nMusic Video,New One,http://u/1.wmv,90\n");
    ASSERT_EQ(import({first.string()}).status, 0);
    auto second = dir_.write(
        "b.csv", "category,name,address,bandwidth\nMusic Video,Renamed One,http://u/1.wmv,95\n");
    ASSERT_EQ(import({second.string()}).status, 0);
    EXPECT_EQ(names("Music Video"),
              (std::vector<std::string>{"Video One", "Video Two", "Renamed One"}));
}

struct Damaged {
    std::string label;
    std::string file;
    std::string content;
    std::vector<std::string> options;
    std::string report;  // a piece of the expected "file:line: reason"
};

void PrintTo(const Damaged& d, std::ostream* os) {
    *os << d.label;
}

class DamagedImport : public Import, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedImport, ImportsNothingAndSaysWhereAndWhy) {
    const Damaged& d = GetParam();
    auto good = dir_.write("good.csv",
                           "category,name,address\nGood Category,Fine Station,http://ok/1.mov\n");
    auto bad = dir_.write(d.file, d.content);
    std::vector<std::string> args = d.options;
    args.push_back(good.string());
    args.push_back(bad.string());
    Finished f = import(args);
    EXPECT_EQ(f.status, 1);
    EXPECT_NE(f.err.find(bad.string() + d.report), std::string::npos) << f.err;
    EXPECT_NE(f.err.find("nothing imported"), std::string::npos) << f.err;
    // Not even the good file's station, nor the good rows of the bad file, went in.
    EXPECT_EQ(categories(), kFixtureCategories);
    EXPECT_TRUE(readList(get("/kinvo39.asp?P=T&SEARCH=1&T1=Fine&V=3.9").body, true).empty());
}

std::string csvRow(const std::string& field, const std::string& value) {
    return "category,name,address," + field +
           "\nBad Category,Good Row,http://b/0.mov,\n"
           "Bad Category,Bad Row,http://b/1.mov," +
           value + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedImport,
    ::testing::Values(
        Damaged{"InfoWithItsEnd", "a.csv", csvRow("info", "a~~b"), {}, ":3: info"},
        Damaged{"InfoEndingHalfway", "a.csv", csvRow("info", "wavy~"), {}, ":3: info"},
        Damaged{"ExtraWithItsEnd", "a.csv", csvRow("extra", "x@@y"), {}, ":3: extra"},
        Damaged{"ExtraWithTagMarker", "a.csv", csvRow("extra", "x###y"), {}, ":3: extra"},
        Damaged{"TimeWithItsEnd", "a.csv", csvRow("time", "soon!!"), {}, ":3: time"},
        Damaged{"NotesWithBars", "a.csv", csvRow("notes", "a||b"), {}, ":3: notes"},
        Damaged{"NotesWithEntryStart", "a.csv", csvRow("notes", "see <A HREF=x>"), {}, ":3: notes"},
        Damaged{"RatingNotANumber", "a.csv", csvRow("rating", "great"), {}, ":3: rating"},
        Damaged{"RatingAboveFive", "a.csv", csvRow("rating", "7"), {}, ":3: rating"},
        Damaged{"BandwidthText", "a.csv", csvRow("bandwidth", "fast"), {}, ":3: bandwidth"},
        Damaged{"AdultFlagWithoutTheWord", "a.csv", csvRow("adult", "yes"), {}, ":3: adult"},
        Damaged{"ControlCharacter", "a.csv", csvRow("info", "a\tb"), {}, ":3: info"},
        Damaged{"AddressWithQuoteGt",
                "a.csv",
                "category,name,address\nBad Category,Q,\"http://b/\"\">x\"\n",
                {},
                ":2: address"},
        Damaged{"DuplicateAddress",
                "a.csv",
                "category,name,address\nBad Category,A,http://b/1.mov\nBad Category,B,"
                "http://b/1.mov\n",
                {},
                ":3: address already listed on line 2"},
        Damaged{"AddressAlsoInTheOtherFile",
                "a.csv",
                "category,name,address\nBad Category,A,http://ok/1.mov\n",
                {},
                ":2: address also"},
        Damaged{"NameEmpty",
                "a.csv",
                "category,name,address\nBad Category,,http://b/1.mov\n",
                {},
                ":2: name"},
        Damaged{"CategoryWithBar",
                "a.csv",
                "category,name,address\nA|B,N,http://b/1.mov\n",
                {},
                ":2: category"},
        Damaged{"CategoryWithAmpersand",
                "a.csv",
                "category,name,address\nA & B,N,http://b/1.mov\n",
                {},
                ":2: category"},
        Damaged{"ReservedCategory",
                "a.csv",
                "category,name,address\nMy Favorites,N,http://b/1.mov\n",
                {},
                ":2: category"},
        Damaged{"UnderscoreCategory",
                "a.csv",
                "category,name,address\n_Hidden,N,http://b/1.mov\n",
                {},
                ":2: category"},
        Damaged{
            "NoCategory", "a.m3u", "#EXTINF:-1,No Group\nhttp://b/1.mov\n", {}, ":1: no category"},
        Damaged{"RelativeWithoutBase",
                "a.m3u",
                "#EXTINF:-1 group-title=\"G\",Rel\n/media/a.mov\n",
                {},
                ":1: address"},
        Damaged{"WrongFieldCount",
                "a.csv",
                "category,name,address\nBad Category,N\n",
                {},
                ":2: has 2 fields"},
        Damaged{
            "UnknownColumn", "a.csv", "category,name,address,colour\n", {}, ":1: unknown column"},
        Damaged{"MissingColumn", "a.csv", "category,name\nBad Category,N\n", {}, ":1: header"},
        Damaged{"OpenQuote",
                "a.csv",
                "category,name,address\nBad Category,\"N,http://b/1\n",
                {},
                ":2: quoted field"},
        Damaged{"ExtinfWithoutAddress",
                "a.m3u",
                "#EXTM3U\n#EXTINF:-1 group-title=\"G\",Lost\n",
                {},
                ":2: #EXTINF without"},
        Damaged{"ExtinfBadDuration",
                "a.m3u",
                "#EXTINF:abc,Title\nhttp://b/1.mov\n",
                {"--category", "G"},
                ":1: #EXTINF duration"},
        Damaged{"ExtinfOpenAttribute",
                "a.m3u",
                "#EXTINF:-1 group-title=\"G,Title\nhttp://b/1.mov\n",
                {},
                ":1: #EXTINF attribute"},
        Damaged{"PlsWithoutSection",
                "a.pls",
                "File1=http://b/1.mp3\n",
                {"--category", "G"},
                ":1: no [playlist]"},
        Damaged{"PlsTitleWithoutFile",
                "a.pls",
                "[playlist]\nTitle3=Lonely\n",
                {"--category", "G"},
                ":2: entry 3 has no File"},
        Damaged{"PlsBadLength",
                "a.pls",
                "[playlist]\nFile1=http://b/1.mp3\nLength1=long\n",
                {"--category", "G"},
                ":3: Length"},
        Damaged{"UnknownFormat", "a.txt", "just text\n", {}, ": is not M3U, PLS or CSV"},
        Damaged{"EmptyCsv", "empty.csv", "", {}, ": no header row"}),
    [](const ::testing::TestParamInfo<Damaged>& info) { return info.param.label; });

TEST_F(Import, FilesThatAreNotPlaylistsAreNamedForWhatTheyAre) {
    // A FIFO with no writer would block a plain open for ever; the import must come back.
    auto fifo = dir_.path() / "pipe.m3u";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto folder = dir_.path() / "folder.csv";
    std::filesystem::create_directories(folder);
    struct Case {
        std::filesystem::path file;
        std::string says;
    };
    for (const Case& c :
         std::vector<Case>{{dir_.path() / "none.csv", "none.csv: cannot be opened"},
                           {fifo, "pipe.m3u: is not a regular file"},
                           {folder, "folder.csv: is a folder, not a regular file"}}) {
        Finished f = import({c.file.string()});
        EXPECT_EQ(f.status, 1) << c.file;
        EXPECT_NE(f.err.find(c.says), std::string::npos) << f.err;
    }
}

TEST_F(Import, DemoCatalogueImportsForAnyPort) {
    // The demo's addresses name the port; each must survive the shift for every port run.sh may
    // pick, four digits or five.
    std::string source = KINVO_DEMO_SOURCE;
    for (int port : {1024, 8639, 9999, 10000, 38343, 65535}) {
        auto db = dir_.path() / ("demo-" + std::to_string(port) + ".db");
        Finished f = run({dataServerBinary(), "import", "--db", db.string(), "--base",
                          "http://127.0.0.1:" + std::to_string(port), source + "/catalogue.csv",
                          source + "/kids.m3u"});
        EXPECT_EQ(f.status, 0) << port << ": " << f.err;
    }
}

}  // namespace
}  // namespace kinvo::ds::test
