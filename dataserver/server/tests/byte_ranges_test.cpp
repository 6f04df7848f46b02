// Range headers against a file of 1000 bytes (and an empty one), as RFC 9110 reads them.
#include "dataserver/server/byte_ranges.h"

#include <gtest/gtest.h>

namespace kinvo::ds {
namespace {

using Kind = RangeAnswer::Kind;

TEST(ByteRanges, ClampedOpenSuffixCoalescedAndUnsatisfiable) {
    struct Case {
        std::string header;
        std::uint64_t size;
        Kind kind;
        std::string contentRange;  // for Partial and Unsatisfiable
    };
    for (const Case& c : std::vector<Case>{
             {"bytes=0-99", 1000, Kind::Partial, "bytes 0-99/1000"},
             {"bytes=0-999999999", 1000, Kind::Partial, "bytes 0-999/1000"},
             {"bytes=100-", 1000, Kind::Partial, "bytes 100-999/1000"},
             {"bytes=-5", 1000, Kind::Partial, "bytes 995-999/1000"},
             {"bytes=-5000", 1000, Kind::Partial, "bytes 0-999/1000"},
             {"bytes=999-999", 1000, Kind::Partial, "bytes 999-999/1000"},
             {"Bytes = 10-19 , 5-6", 1000, Kind::Partial, "bytes 5-19/1000"},
             {"bytes=100-,0-1", 1000, Kind::Partial, "bytes 0-999/1000"},
             {"bytes=2000-3000,10-20", 1000, Kind::Partial, "bytes 10-20/1000"},
             {"bytes=1000-", 1000, Kind::Unsatisfiable, "bytes */1000"},
             {"bytes=1000-2000,5000-", 1000, Kind::Unsatisfiable, "bytes */1000"},
             {"bytes=-0", 1000, Kind::Unsatisfiable, "bytes */1000"},
             {"bytes=0-0", 0, Kind::Unsatisfiable, "bytes */0"},
             {"bytes=-5", 0, Kind::Unsatisfiable, "bytes */0"},
             // Malformed or foreign: the whole file.
             {"bytes=5-2", 1000, Kind::Whole, ""},
             {"bytes=a-b", 1000, Kind::Whole, ""},
             {"bytes=", 1000, Kind::Whole, ""},
             {"bytes=1-2,x", 1000, Kind::Whole, ""},
             {"items=0-5", 1000, Kind::Whole, ""},
             {"bytes=18446744073709551616-", 1000, Kind::Whole, ""},
         }) {
        RangeAnswer r = resolveRange(c.header, c.size);
        EXPECT_EQ(r.kind, c.kind) << c.header;
        if (c.kind != Kind::Whole) {
            EXPECT_EQ(r.contentRange(c.size), c.contentRange) << c.header;
        }
    }
    std::string many = "bytes=";
    for (std::size_t i = 0; i <= kMaxRanges; ++i) {
        many += std::to_string(i) + "-" + std::to_string(i) + ",";
    }
    EXPECT_EQ(resolveRange(many, 1000).kind, Kind::Whole);
}

}  // namespace
}  // namespace kinvo::ds
