// Which texts the browser reads back. Each accepted text is written into a real entry and read
// again by the browser's own catalogue parser, so an accepted text that would come back changed
// fails too.
#include <gtest/gtest.h>

#include "catalogue/catalogue_entries.h"
#include "catalogue/text_shift.h"
#include "dataserver/listformat/field_rules.h"
#include "dataserver/listformat/list_format.h"

namespace kinvo::ds {
namespace {

struct Cut {
    bool ok = false;
    std::string address, info, extra, name, time, rating, notes;
};

// The one entry of doc as the browser's parser reads it; ok false when it reads none or more.
Cut cutEntry(const std::string& doc) {
    Cut c;
    int entries = 0;
    forEachCatalogueEntry(doc, ExtractMode::Catalogue, [&](const StationRecord& s) {
        ++entries;
        c = Cut{true,       DecodeText(s.address, true),
                s.infoText, s.extraText,
                s.name,     s.timeText,
                s.rating,   s.notes};
        return true;
    });
    c.ok = c.ok && entries == 1;
    return c;
}

struct Case {
    Field field;
    std::string text;
    bool accepted;
};

class FieldRules : public ::testing::TestWithParam<Case> {};

TEST_P(FieldRules, AcceptedTextsComeBackUnchangedAndRefusedOnesWouldNot) {
    const Case& c = GetParam();
    auto problem = fieldProblem(c.field, c.text);
    EXPECT_EQ(!problem.has_value(), c.accepted) << c.text << ": " << problem.value_or("");

    std::string address = "http://example.org/a.mov";
    std::string info = "Info", extra = "Extra", name = "Name", time = "1:00", notes = "Notes";
    switch (c.field) {
        case Field::Address:
            address = c.text;
            break;
        case Field::Info:
            info = c.text;
            break;
        case Field::Extra:
            extra = c.text;
            break;
        case Field::Name:
            name = c.text;
            break;
        case Field::TimeText:
            time = c.text;
            break;
        case Field::Notes:
            notes = c.text;
            break;
        default:
            return;  // checked by the first expectation only
    }
    std::string doc = "<html>";
    bool written = appendCatalogueEntry(doc, {address, info, extra, name, 100, time, "3", notes});
    Cut cut = cutEntry(doc);
    std::string expectedAddress =
        address.find("://") == std::string::npos ? "http://" + address : address;
    bool same = written && cut.ok && cut.address == expectedAddress && cut.info == info &&
                cut.extra == extra && cut.name == name && cut.time == time && cut.notes == notes;
    // The tag the browser builds must give the address and the time back as well.
    std::string tag = info + "!!!" + extra + "###" + address + "%%%" + time;
    std::size_t from = tag.find("###") + 3;
    same = same && tag.substr(from, tag.find("%%%", from) - from) == address &&
           tag.substr(tag.find("%%%") + 3) == time;
    // lstStations2 keeps notes + "||" + rating and splits at the first "||".
    std::string companion = notes + "||3";
    same = same && companion.substr(0, companion.find("||")) == notes;
    if (c.accepted) {
        EXPECT_TRUE(same) << "accepted but misread: " << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FieldRules,
    ::testing::Values(
        Case{Field::Info, "Live", true}, Case{Field::Info, "", true},
        Case{Field::Info, "a~~b", false}, Case{Field::Info, "tilde~", false},
        Case{Field::Info, "~lead", true}, Case{Field::Info, "x###y", false},
        Case{Field::Info, "100%%%", false}, Case{Field::Info, "tab\there", false},
        Case{Field::Info, "see <A Href=x>", false}, Case{Field::Extra, "at@@", false},
        Case{Field::Extra, "at@", false}, Case{Field::Extra, "hash#", false},
        Case{Field::Extra, "fine @ home", true}, Case{Field::Name, "", false},
        Case{Field::Name, "Plain Name", true}, Case{Field::Name, "No. #1", true},
        Case{Field::Name, "Caf\xC3\xA9 Noir", true},  // UTF-8 bytes shift like any others
        Case{Field::Name, "\xFF\xFE", false},         // would leave the byte range
        Case{Field::Name, std::string(256, 'n'), false}, Case{Field::TimeText, "3:25", true},
        Case{Field::TimeText, "now!!", false}, Case{Field::TimeText, "wow!", false},
        Case{Field::Rating, "4", true}, Case{Field::Rating, "4.5", true},
        Case{Field::Rating, "", true}, Case{Field::Rating, "6", false},
        Case{Field::Rating, "-1", false}, Case{Field::Rating, "4 stars", false},
        Case{Field::Notes, "Nice || tidy", false}, Case{Field::Notes, "ends|", false},
        Case{Field::Notes, "a </a> b", true}, Case{Field::Notes, "", true},
        Case{Field::Address, "http://example.org/a.mov", true},
        Case{Field::Address, "mms://example.org/live", true},
        Case{Field::Address, "example.org/no-scheme.rm", true},
        // Length 40 to 49 moves ":" to ">" in the first half; sent without "http://".
        Case{Field::Address, "http://127.0.0.1:8639/media/harbour1.swf", true},
        Case{Field::Address, "http://127.0.0.1:8639/media/harbour-light.swf", true},
        Case{Field::Address, "mms://127.0.0.1:8639/media/harbour-lights.asf", false},
        Case{Field::Address, "http://b/\">x", false}, Case{Field::Address, "", false},
        Case{Field::Category, "Music/Entertainment", true}, Case{Field::Category, "_Hidden", false},
        Case{Field::Category, "Rock|Pop", false}, Case{Field::Category, "Rock & Pop", false},
        Case{Field::Category, "50%", false}, Case{Field::Category, "C++", false},
        Case{Field::Category, "favorites", false},
        Case{Field::Category, "Most Popular Stations", false},
        Case{Field::Category, "Video Search", false}));

TEST(SentAddress, FallsBackToNoSchemeOnlyWhenNeeded) {
    std::string plain = "http://example.org/a.mov";
    EXPECT_EQ(sentAddress(plain), EncodeText(plain));
    std::string colonTrouble = "http://127.0.0.1:8639/media/harbour1.swf";  // 40 bytes
    ASSERT_NE(EncodeText(colonTrouble).find('>'), std::string::npos);
    auto sent = sentAddress(colonTrouble);
    ASSERT_TRUE(sent);
    EXPECT_EQ(DecodeText(*sent, true), colonTrouble);
}

}  // namespace
}  // namespace kinvo::ds
