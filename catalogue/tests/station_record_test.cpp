#include "catalogue/station_record.h"

#include <gtest/gtest.h>

namespace kinvo {
namespace {

TEST(StationTag, BuildsAndSplits) {
    StationRecord station;
    station.infoText = "Pop";
    station.extraText = "Live";
    station.address = "kwws=22dgguhvv";
    station.timeText = "125";
    const std::string tag = StationTag(station);
    EXPECT_EQ(tag, "Pop!!!Live###kwws=22dgguhvv%%%125");
    const auto fields = SplitStationTag(tag);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->infoText, "Pop");
    EXPECT_EQ(fields->extraText, "Live");
    EXPECT_EQ(fields->address, "kwws=22dgguhvv");
    EXPECT_EQ(fields->timeText, "125");
}

TEST(StationTag, SplitTakesTheFirstMarks) {
    // The address runs from the first "###" to the following "%%%"; the time is all after it.
    const auto fields = SplitStationTag("a###b%%%c%%%d");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->address, "b");
    EXPECT_EQ(fields->timeText, "c%%%d");
    EXPECT_EQ(fields->extraText, "");
    EXPECT_FALSE(SplitStationTag("no marks"));
    EXPECT_FALSE(SplitStationTag("%%%x###y"));
    const auto empty = SplitStationTag(StationTag(StationRecord{}));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->address, "");
}

}  // namespace
}  // namespace kinvo
