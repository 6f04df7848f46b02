#include "browser/core/web_links.h"

#include <gtest/gtest.h>

#include <string>

namespace kinvo {
namespace {

TEST(WebLinks, TheVendorsPagesAreOnTheDiscoveryAddressesSite) {
    struct Case {
        std::string discovery, site;
    };
    const Case cases[] = {
        {"http://127.0.0.1:8639/redirect35.asp", "http://127.0.0.1:8639"},
        {"http://user:pw@Data.Example/redirect35.asp?x=1#f", "http://data.example"},
        {"https://[::1]:9000/r.asp", "https://[::1]:9000"},
        {"not an address", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vendorSite(c.discovery), c.site) << c.discovery;
    }
    EXPECT_EQ(helpAddress("http://h:1"), "http://h:1/help/kinvo/index.htm");
    EXPECT_EQ(supportAddress("http://h:1"), "http://h:1/mailform.htm");
    EXPECT_EQ(visitAddress("http://h:1"), "http://h:1/about.asp?P=T");
}

TEST(WebLinks, NamesAndTermsAlwaysMakeAValidAddress) {
    struct Case {
        std::string value, query;
    };
    const Case cases[] = {
        {"Mix TV 24", "Mix+TV+24"},
        {"", ""},
        {"R&B #1 100% C++", "R%26B+%231+100%25+C%2B%2B"},
        {"Caf\xc3\xa9", "Caf%C3%A9"},
        {"a/b:c", "a/b:c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rateAddress("http://h", c.value), "http://h/kinvorate.asp?S=" + c.query);
        EXPECT_EQ(sponsorAddress("http://h", c.value), "http://h/search.asp?T1=" + c.query);
    }
}

}  // namespace
}  // namespace kinvo
