// Reading queries as the browser writes them, and turning search terms into FTS5 queries.
#include <gtest/gtest.h>

#include "dataserver/server/catalogue_answers.h"
#include "dataserver/server/query.h"
#include "dataserver/server/search_terms.h"

namespace kinvo::ds {
namespace {

TEST(Query, ValuesAsTheBrowserSendsThem) {
    Query q = Query::parse("P=T&T1=LIST_TV&T2=Music+Video&MINBPS=100&V=3.9");
    EXPECT_EQ(q.value("T2"), "Music Video");
    EXPECT_EQ(q.value("t1"), "LIST_TV");  // names without regard to case
    EXPECT_EQ(q.value("MINBPS"), "100");
    EXPECT_EQ(q.value("MAXBPS"), std::nullopt);
    EXPECT_TRUE(q.has("V"));
}

TEST(Query, BrokenValuesGiveWhatIsThere) {
    struct Case {
        std::string raw;
        std::string name;
        std::optional<std::string> value;
    };
    for (const Case& c : std::vector<Case>{{"T1=rock&roll&V=3.9", "T1", "rock"},
                                           {"T1=100%&V=3.9", "T1", "100%"},
                                           {"T1=%zz%4", "T1", "%zz%4"},
                                           {"T1=caf%C3%A9", "T1", "caf\xC3\xA9"},
                                           {"T1=a%3Fb", "T1", "a?b"},
                                           {"T1", "T1", ""},
                                           {"=x&T1=y", "T1", "y"},
                                           {"&&&", "T1", std::nullopt},
                                           {"T1=" + std::string(3000, 'a'), "T1", std::nullopt},
                                           {"", "T1", std::nullopt}}) {
        EXPECT_EQ(Query::parse(c.raw).value(c.name), c.value) << c.raw;
    }
}

TEST(Query, RestKeepsAnAddressWithItsOwnQuery) {
    Query q = Query::parse("STATS=1&U=http://h/a.asp?id=7&fmt=wmv");
    EXPECT_EQ(q.rest("U"), "http://h/a.asp?id=7&fmt=wmv");
    EXPECT_EQ(Query::parse("STATS=1&U").rest("U"), "");
    EXPECT_EQ(Query::parse("STATS=1").rest("U"), std::nullopt);
}

TEST(Query, OnlyTheFirstPairsAreRead) {
    std::string raw;
    for (std::size_t i = 0; i < Query::kMaxParams + 5; ++i) {
        raw += "p" + std::to_string(i) + "=1&";
    }
    Query q = Query::parse(raw);
    EXPECT_TRUE(q.has("p0"));
    EXPECT_FALSE(q.has("p" + std::to_string(Query::kMaxParams)));
}

TEST(SearchTerms, EveryWordBecomesAQuotedPrefix) {
    EXPECT_EQ(ftsQueryFor("star trek"), "\"star\"* \"trek\"*");
    EXPECT_EQ(ftsQueryFor("  \"NEAR(a b)\" OR x*"), "\"NEAR\"* \"a\"* \"b\"* \"OR\"* \"x\"*");
    EXPECT_EQ(ftsQueryFor("caf\xC3\xA9"), "\"caf\xC3\xA9\"*");
    EXPECT_EQ(ftsQueryFor("&%^"), "");
    EXPECT_EQ(ftsQueryFor(std::string(100, 'a')), "\"" + std::string(kMaxWordBytes, 'a') + "\"*");
    EXPECT_EQ(ftsQueryFor("a b c d e f g h i j"),
              "\"a\"* \"b\"* \"c\"* \"d\"* \"e\"* \"f\"* \"g\"* \"h\"*");
}

TEST(Versions, DottedPartsCompareAsNumbers) {
    EXPECT_EQ(compareVersions("3.9", "3.9"), 0);
    EXPECT_LT(compareVersions("3.9", "3.10"), 0);
    EXPECT_GT(compareVersions("4", "3.9"), 0);
    EXPECT_EQ(compareVersions("3.9.0", "3.9"), 0);
    EXPECT_LT(compareVersions("x", "0"), 0);
}

}  // namespace
}  // namespace kinvo::ds
