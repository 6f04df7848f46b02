// The "select://" and "range://" forms: the choice, the selected value and every error number.
#include "axserver/playlist/pseudo_address.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa::playlist {
namespace {

std::string alternatives(int n) {
    std::string text = "select://";
    for (int i = 0; i < n; ++i) {
        text += (i ? "," : "") + std::to_string(i + 1) + ",'a" + std::to_string(i + 1) + "'";
    }
    return text;
}

TEST(SelectAddress, ChoiceAndErrors) {
    struct Case {
        std::string name;
        int32_t limit;
        int32_t error;
        std::string target;
        int32_t selected;
    };
    const Case cases[] = {
        {"select://300,'a',56,'b'", -1, 0, "a", 300},
        {"select://300,'a',56,'b'", 100, 0, "b", -1},  // 56 is the smallest of all
        {"select://300,'a',56,'b'", 10, 0, "b", -1},   // none under the limit: the smallest
        {"select://10,'a',300,|x,y|,300,'c'", 0, 0, "x,y", 300},  // any delimiter; first of equals
        {"select://5,'a',5,'b'", -1, 0, "a", -1},
        {"select://,'none'", -1, 0, "none", -1},  // no digits: 0
        {"select://99999999999,'big',1,'s'", -1, 0, "big", 2147483647},
        {"select://1,''", -1, 0, "", -1},
        {alternatives(16), -1, 0, "a16", 16},
        {"select://", -1, kSelectEmpty, "", -1},
        {"select://300'a'", -1, kSelectNoCommaAfterNumber, "", -1},
        {"select://300", -1, kSelectNoCommaAfterNumber, "", -1},
        {"select://300,", -1, kSelectNothingAfterComma, "", -1},
        {"select://300,'abc", -1, kSelectUnterminated, "", -1},
        {"select://300,'", -1, kSelectUnterminated, "", -1},
        {"select://300,'a'x", -1, kSelectBadSeparator, "", -1},
        {"select://300,'a',", -1, kSelectNoCommaAfterNumber, "", -1},
        {alternatives(17), -1, kSelectTooMany, "", -1},
        {alternatives(1000), -1, kSelectTooMany, "", -1},
    };
    for (const Case& c : cases) {
        const SelectResult r = parseSelect(c.name, c.limit);
        EXPECT_TRUE(r.isSelect) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_EQ(r.target, c.target) << c.name;
        EXPECT_EQ(r.selectedValue, c.selected) << c.name;
    }
    EXPECT_FALSE(parseSelect("http://host/select://1,'a'", -1).isSelect);
}

TEST(RangeAddress, PairAndErrors) {
    struct Case {
        std::string name;
        int32_t error;
        std::string target;
        int32_t start, end;
    };
    const Case cases[] = {
        {"range://10,20,x", 0, "x", 10, 20},
        {"range://,,http://h/a,b", 0, "http://h/a,b", 0, 0},
        {"range://10;20", kRangeNoCommaAfterStart, "", -1, -1},
        {"range://10,20", kRangeNoCommaAfterEnd, "", -1, -1},
        {"range://", kRangeNoCommaAfterStart, "", -1, -1},
    };
    for (const Case& c : cases) {
        const RangeResult r = parseRange(c.name);
        EXPECT_TRUE(r.isRange) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_EQ(r.target, c.target) << c.name;
        EXPECT_EQ(r.start, c.start) << c.name;
        EXPECT_EQ(r.end, c.end) << c.name;
    }
    EXPECT_FALSE(parseRange("/music/range://1,2,x").isRange);
}

}  // namespace
}  // namespace vexa::playlist
