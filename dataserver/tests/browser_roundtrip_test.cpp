// The round trip the product relies on: the browser's own catalogue parser, run headless with
// `kinvo --print-category`, against the real server, compared with what the catalogue holds.
#include <gtest/gtest.h>

#include <sstream>

#include "catalogue/text_shift.h"
#include "dataserver/store/catalogue.h"
#include "dataserver/store/schema.h"
#include "dataserver/tests/catalogue_fixture.h"

namespace kinvo::ds::test {
namespace {

struct Printed {
    std::string name;
    std::string number;
    std::string tag;
};

std::vector<Printed> printed(const std::string& out) {
    std::vector<Printed> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t a = line.find('\t');
        std::size_t b = line.find('\t', a + 1);
        if (a == std::string::npos || b == std::string::npos) {
            ADD_FAILURE() << "not name, number, tag: " << line;
            continue;
        }
        lines.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return lines;
}

class BrowserRoundTrip : public CatalogueFixture {
  protected:
    Finished printCategory(const std::string& category) {
        return browse("--print-category", category);
    }

    Finished browse(const std::string& entry, const std::string& value) {
        std::string port = std::to_string(server_->port());
        auto home = dir_.path() / "home";
        std::filesystem::create_directories(home);
        // A fresh settings store of its own: "Speed" reads as Broadband, the adult lock as off.
        return run(
            {"env", "KINVO_HOME=" + home.string(), "XDG_CONFIG_HOME=" + (home / "config").string(),
             "QT_QPA_PLATFORM=offscreen", KINVO_BROWSER, entry, value, "--discovery",
             "http://127.0.0.1:" + port + "/redirect35.asp", "--connect-to", "127.0.0.1:" + port});
    }

    // The stations the browser should list: the category's, 100 kbps and more.
    std::vector<StationListing> held(const std::string& category) {
        Catalogue catalogue(openCatalogue(db_.string(), Database::Mode::ReadWrite));
        auto id = catalogue.categoryId(category);
        return id ? catalogue.category(*id, BandwidthFilter{100}) : std::vector<StationListing>{};
    }

    void expectSame(const std::vector<Printed>& lines, const std::vector<StationListing>& stations,
                    const std::vector<std::string>& shownNames) {
        ASSERT_EQ(lines.size(), stations.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const StationListing& s = stations[i];
            EXPECT_EQ(lines[i].name, shownNames[i]);
            EXPECT_EQ(lines[i].number, std::to_string(s.bandwidth));
            const std::string& tag = lines[i].tag;
            std::size_t bang = tag.find("!!!");
            std::size_t hash = tag.find("###");
            std::size_t pct = tag.find("%%%", hash);
            ASSERT_TRUE(bang != std::string::npos && hash != std::string::npos &&
                        pct != std::string::npos)
                << tag;
            EXPECT_EQ(tag.substr(0, bang), s.info == "0" ? "Unknown" : s.info);
            EXPECT_EQ(tag.substr(bang + 3, hash - bang - 3), s.extra == "0" ? "" : s.extra);
            std::string address = DecodeText(tag.substr(hash + 3, pct - hash - 3), true);
            EXPECT_EQ(address, s.address.find("://") == std::string::npos ? "http://" + s.address
                                                                          : s.address);
            EXPECT_EQ(tag.substr(pct + 3), s.timeText);
        }
    }
};

TEST_F(BrowserRoundTrip, PrintCategoryShowsWhatTheCatalogueHolds) {
    for (std::string category : {"Music/Entertainment", "Music Video"}) {
        Finished f = printCategory(category);
        ASSERT_EQ(f.status, 0) << f.err;
        auto stations = held(category);
        ASSERT_FALSE(stations.empty()) << category;
        std::vector<std::string> names;
        for (const StationListing& s : stations) {
            names.push_back(s.name);
        }
        expectSame(printed(f.out), stations, names);
    }
}

TEST_F(BrowserRoundTrip, PopularNamesCarryTheirCounts) {
    get("/kinvo39.asp?STATS=1&U=http://media.example/v1.wmv");
    get("/kinvo39.asp?STATS=1&U=http://media.example/v1.wmv");
    get("/kinvo39.asp?STATS=1&U=http://media.example/alpha.mov");
    Finished f = printCategory("Most Popular Stations");
    ASSERT_EQ(f.status, 0) << f.err;
    auto lines = printed(f.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name, "Video One (2)");
    EXPECT_EQ(lines[1].name, "Alpha Station (1)");
}

TEST_F(BrowserRoundTrip, SearchPrintsTheServersMatches) {
    Finished f = browse("--search", "clips");
    ASSERT_EQ(f.status, 0) << f.err;
    auto lines = printed(f.out);
    ASSERT_EQ(lines.size(), 1u);  // Video Two has 32 kbps, below the broadband class
    EXPECT_EQ(lines[0].name, "Video One");

    f = browse("--search", "nothing like this");
    EXPECT_EQ(f.status, 0);
    EXPECT_TRUE(f.out.empty());
    EXPECT_NE(f.err.find("0 results found.  Please check your spelling"), std::string::npos);

    f = browse("--search", "abc");
    EXPECT_EQ(f.status, 65);
    EXPECT_NE(f.err.find("Search term must be at least 4 letters."), std::string::npos);
}

}  // namespace
}  // namespace kinvo::ds::test
