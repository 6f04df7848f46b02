#include "browser/core/catalogue_parser.h"
#include "browser/core/sb_list.h"
#include "browser/core/tests/fixture/canned_catalogue.h"
#include "catalogue/text_shift.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kinvo {
namespace {

using testing::CannedStation;
using testing::catalogueDocument;
using testing::catalogueEntry;

std::vector<StationRecord> parse(std::string_view document,
                                 ExtractMode mode = ExtractMode::Catalogue) {
    std::vector<StationRecord> out;
    forEachCatalogueEntry(document, mode, [&out](const StationRecord& station) {
        out.push_back(station);
        return true;
    });
    return out;
}

TEST(CatalogueParser, ReadsEveryFieldOfACatalogueEntry) {
    const CannedStation canned{
        "http://media.example/a", "Pop", "Live", "Zulu Beats", "300", "0", "4", "Great notes"};
    const auto stations = parse("ignored <b>before</b>" + catalogueEntry(canned));
    ASSERT_EQ(stations.size(), 1u);
    const StationRecord& s = stations[0];
    EXPECT_EQ(s.address, EncodeText(canned.address));  // kept shifted
    EXPECT_EQ(DecodeText(s.address, true), canned.address);
    EXPECT_EQ(s.infoText, "Pop");
    EXPECT_EQ(s.extraText, "Live");
    EXPECT_EQ(s.name, "Zulu Beats");
    EXPECT_EQ(s.bandwidth, 300);
    EXPECT_EQ(s.timeText, "0");
    EXPECT_EQ(s.rating, "4");
    EXPECT_EQ(s.notes, "Great notes");
}

TEST(CatalogueParser, FieldRules) {
    struct Case {
        std::string f1, f2, f4;
        std::string infoText, extraText;
        std::int64_t bandwidth;
    };
    const Case cases[] = {
        {"0", "0", "300", "Unknown", "", 300},
        {"00", "0 ", "56k", "00", "0 ", 56},
        {"", "", "abc", "", "", 0},
        {"x", "y", "  128", "x", "y", 128},
        {"x", "y", "-5", "x", "y", -5},
        {"x", "y", "", "x", "y", 0},
        {"x", "y", "99999999999999999999999", "x", "y", INT64_MAX},
    };
    for (const Case& c : cases) {
        const auto stations =
            parse(catalogueEntry({"http://a", c.f1, c.f2, "Name", c.f4, "1", "2", "n"}));
        ASSERT_EQ(stations.size(), 1u) << c.f1;
        EXPECT_EQ(stations[0].infoText, c.infoText);
        EXPECT_EQ(stations[0].extraText, c.extraText);
        EXPECT_EQ(stations[0].bandwidth, c.bandwidth) << c.f4;
    }
}

TEST(CatalogueParser, EntriesAndTagsMatchWithoutRegardToCase) {
    const std::string document = "<A HREF=\"adr1\">a~~b@@" + EncodeText("One") + "##1%%2!!3**" +
                                 EncodeText("n1") + "</A><a Href=\"adr2\">c~~d@@" +
                                 EncodeText("Two") + "##2%%3!!4**" + EncodeText("n2") + "</a>";
    const auto stations = parse(document);
    ASSERT_EQ(stations.size(), 2u);
    EXPECT_EQ(stations[0].address, "adr1");
    EXPECT_EQ(stations[0].notes, "n1");
    EXPECT_EQ(stations[1].name, "Two");
    EXPECT_EQ(stations[1].notes, "n2");
}

TEST(CatalogueParser, AddressMayHoldAClosingBracket) {
    // "9" shifted by 5 is ">": an address with digits often carries one once shifted (here the
    // first half of 51 bytes moves by 5).
    const std::string address = "http://192.168.0.9/live/stream/channel/number/one/x";
    const std::string shifted = EncodeText(address);
    ASSERT_NE(shifted.find('>'), std::string::npos);
    const auto stations = parse(catalogueEntry({address, "i", "e", "Name", "5", "6", "7", "n"}));
    ASSERT_EQ(stations.size(), 1u);
    EXPECT_EQ(DecodeText(stations[0].address, true), address);
    EXPECT_EQ(stations[0].infoText, "i");
}

TEST(CatalogueParser, EntriesMissingATerminatorAreSkipped) {
    const std::string good = catalogueEntry({"http://ok", "i", "e", "Good", "5", "6", "7", "n"});
    const std::string broken[] = {
        "<a href=no quote at all~~e@@x##5%%6!!7**n</a>",
        "<a href=\"addr no close~~e@@x##5%%6!!7**n</a>",
        "<a href=\"addr\">no f1 end@@x##5%%6!!7**n</a>",
        "<a href=\"addr\">i~~no f2 end##5%%6!!7**n</a>",
        "<a href=\"addr\">i~~e@@no f3 end%%6!!7**n</a>",
        "<a href=\"addr\">i~~e@@x##no f4 end!!7**n</a>",
        "<a href=\"addr\">i~~e@@x##5%%no f5 end**n</a>",
        "<a href=\"addr\">i~~e@@x##5%%6!!no f6 end</a>",
        "<a href=\"addr\">i~~e@@x##5%%6!!7**no close tag",
    };
    for (const std::string& entry : broken) {
        const auto stations = parse(good + entry + good);
        ASSERT_EQ(stations.size(), 2u) << entry;
        EXPECT_EQ(stations[0], stations[1]) << entry;  // nothing of the broken entry leaks
        EXPECT_EQ(stations[1].name, "Good");
    }
}

TEST(CatalogueParser, SearchResultsEndAtTheirPlayTime) {
    const CannedStation canned{"http://found", "i", "0", "Found", "250", "185", "", ""};
    const auto stations = parse(catalogueEntry(canned, true), ExtractMode::Search);
    ASSERT_EQ(stations.size(), 1u);
    EXPECT_EQ(stations[0].timeText, "185");
    EXPECT_EQ(stations[0].extraText, "");
    EXPECT_EQ(stations[0].rating, "");
    EXPECT_EQ(stations[0].notes, "");
    // A catalogue entry read in search mode: F5 runs to the first "<".
    const auto asSearch =
        parse(catalogueEntry({"http://a", "i", "e", "N", "5", "6", "7", "n"}), ExtractMode::Search);
    ASSERT_EQ(asSearch.size(), 1u);
    EXPECT_EQ(asSearch[0].timeText, "6!!7**" + EncodeText("n"));
}

TEST(CatalogueParser, AdultFilter) {
    struct Case {
        std::optional<std::int64_t> adult;
        bool plainPasses, adultPasses, longerWordPasses;
    };
    const Case cases[] = {
        {1, true, true, true},
        {0, true, false, false},
        {2, false, false, false},
        {-1, false, false, false},
        {std::nullopt, false, false, false},  // "AdultSettings" is text, not a number
    };
    for (const Case& c : cases) {
        EXPECT_EQ(passesAdultFilter("Music TV", c.adult), c.plainPasses);
        EXPECT_EQ(passesAdultFilter("adult Channel", c.adult), c.adultPasses);
        EXPECT_EQ(passesAdultFilter("AdUlThood Stories", c.adult), c.longerWordPasses);
    }
}

TEST(Extract, CatalogueModeFillsBothListsAndFilters) {
    std::vector<CannedStation> stations = testing::musicVideoStations();
    stations.push_back({"http://adult", "x", "0", "Late Adult Show", "50", "0", "1", "n"});
    const std::string document = catalogueDocument(stations);

    SBList lstStations, lstStations2;
    lstStations.add("old", "old", 1);
    lstStations2.add("old", "old", 1);
    ExtractOptions options;
    options.adultSettings = 0;
    extract(document, lstStations, lstStations2, options);

    ASSERT_EQ(lstStations.count(), 4);
    ASSERT_EQ(lstStations2.count(), 4);
    EXPECT_EQ(lstStations.text(0), "Zulu Beats");  // server order
    EXPECT_EQ(lstStations.tag(0),
              "Pop!!!###" + EncodeText("http://media.example/zulu.qrx") + "%%%0");
    EXPECT_EQ(lstStations.number(0), 300);
    EXPECT_EQ(lstStations.tag(1),
              "Unknown!!!Live###" + EncodeText("mms://media.example/alpha") + "%%%0");
    EXPECT_EQ(lstStations.number(3), 700);
    EXPECT_EQ(lstStations2.text(0), EncodeText("http://media.example/zulu.qrx"));
    EXPECT_EQ(lstStations2.tag(0), "Loud||4");
    EXPECT_EQ(lstStations2.tag(3), "||2");
    EXPECT_EQ(lstStations2.number(0), 0);
    EXPECT_EQ(lstStations.findByText("Late Adult Show"), -1);

    options.adultSettings = 1;
    extract(document, lstStations, lstStations2, options);
    EXPECT_EQ(lstStations.count(), 5);
}

TEST(Extract, SearchModeAppendsAndSkipsKnownAddresses) {
    SBList lstStations, lstStations2;
    lstStations.add("Shown", "i!!!###" + EncodeText("http://known") + "%%%0", 1);
    const std::string document =
        catalogueDocument({{"http://known", "i", "e", "Again", "5", "60", "", ""},
                           {"http://new", "i", "e", "New", "5", "61", "", ""},
                           {"http://new", "i", "e", "New twice", "5", "62", "", ""}},
                          true);
    ExtractOptions options;
    options.mode = ExtractMode::Search;
    extract(document, lstStations, lstStations2, options);
    ASSERT_EQ(lstStations.count(), 2);
    EXPECT_EQ(lstStations.text(0), "Shown");
    EXPECT_EQ(lstStations.text(1), "New");
    EXPECT_EQ(lstStations.tag(1), "i!!!e###" + EncodeText("http://new") + "%%%61");
    EXPECT_EQ(lstStations2.count(), 0);
}

TEST(Extract, StopEndsTheParseAtTheNextEntry) {
    std::vector<CannedStation> stations;
    for (int i = 0; i < 10; ++i) {
        stations.push_back({"http://s" + std::to_string(i), "i", "e", "S" + std::to_string(i), "1",
                            "0", "1", "n"});
    }
    SBList lstStations, lstStations2;
    bool stop = false;
    int pumps = 0;
    ExtractOptions options;
    options.stopRequested = &stop;
    options.letEventsRun = [&] {
        // The user presses Stop while the third station is read.
        if (++pumps == 5) {
            stop = true;
        }
    };
    extract(catalogueDocument(stations), lstStations, lstStations2, options);
    EXPECT_EQ(lstStations.count(), 3);
    EXPECT_EQ(lstStations2.count(), 3);
    EXPECT_EQ(lstStations.text(2), "S2");
}

}  // namespace
}  // namespace kinvo
