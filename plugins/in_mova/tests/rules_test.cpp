// in_mova's pure rules: the letterbox, the names, movie times and the runtime versions.
#include <gtest/gtest.h>

#include "plugins/in_mova/letterbox.h"
#include "plugins/in_mova/movie_time.h"
#include "plugins/in_mova/names.h"
#include "plugins/in_mova/version_rule.h"

namespace {

using namespace kinvo::in_mova;

bool operator==(const QtmlRect& a, const QtmlRect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

TEST(MovaLetterbox, CentresTheMovieShapeInTheWindow) {
    const struct {
        QtmlRect box;
        int32_t width, height;
        QtmlRect expected;  // top, left, bottom, right
    } cases[] = {
        {{0, 0, 240, 320}, 640, 360, {0, 80, 360, 560}},   // pillars left and right
        {{0, 0, 180, 320}, 640, 640, {140, 0, 500, 640}},  // bars above and below
        {{0, 0, 240, 320}, 640, 480, {0, 0, 480, 640}},    // the same shape fills it
        {{0, 0, 100, 100}, 101, 50, {0, 25, 50, 75}},      // odd strips round toward zero
        {{0, 0, 0, 320}, 640, 360, {0, 0, 360, 640}},      // no height: the whole window
    };
    for (const auto& c : cases) {
        const QtmlRect r = letterbox(c.box, c.width, c.height);
        EXPECT_TRUE(r == c.expected) << c.width << "x" << c.height << " got " << r.top << ","
                                     << r.left << "," << r.bottom << "," << r.right;
    }
}

TEST(MovaNames, ProtectedNamesAddressesAndTitles) {
    const struct {
        const char* name;
        bool isProtected, network;
        const char* forInfo;  // "" when information must not open it
        const char* title;
    } cases[] = {
        {"C:\\Movies\\clip.M4P", true, false, "file://C:\\Movies\\clip.M4P", "clip.M4P"},
        {"/home/u/song.m4p", true, false, "file:///home/u/song.m4p", "song.m4p"},
        {"/home/u/a.mov", false, false, "file:///home/u/a.mov", "a.mov"},
        {"clip.qt", false, false, "file://clip.qt", "clip.qt"},
        {"HTTP://host/x.mov", false, true, "", "x.mov"},
        {"rtsp://host/live", false, true, "", "live"},
        {"Ftp://host/dir/m.mov", false, true, "", "m.mov"},
        {"m4p", false, false, "file://m4p", "m4p"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isProtectedName(c.name), c.isProtected) << c.name;
        EXPECT_EQ(isNetworkAddress(c.name), c.network) << c.name;
        EXPECT_EQ(movieAddress(c.name, false).value_or(""), c.forInfo) << c.name;
        EXPECT_EQ(movieAddress(c.name, true).value(),
                  c.network ? std::string(c.name) : std::string(c.forInfo))
            << c.name;
        EXPECT_EQ(fallbackTitle(c.name), c.title) << c.name;
    }
    EXPECT_TRUE(isRtspAddress("RTSP://h/x"));
    EXPECT_FALSE(isRtspAddress("http://h/rtsp:"));
    EXPECT_TRUE(sameName("/a/B.mov", "/A/b.MOV"));
    EXPECT_FALSE(sameName("/a/b.mov", "/a/b.mo"));
}

TEST(MovaMovieTime, LengthsPositionsAndSeekTargets) {
    const struct {
        int64_t units;
        int32_t scale;
        int32_t length, position;
    } times[] = {
        {6000, 600, 10000, 10000},
        {1, 3, 333, 333},
        {90000LL * 3600, 90000, 3600000, 3600000},  // beyond 32-bit products: still an hour
        {INT64_MAX, 1, INT32_MAX, INT32_MAX},
        {600, 0, -1, 0},
        {-5, 600, -1, 0},
    };
    for (const auto& t : times) {
        EXPECT_EQ(lengthMs(t.units, t.scale), t.length) << t.units << "/" << t.scale;
        EXPECT_EQ(positionMs(t.units, t.scale), t.position) << t.units << "/" << t.scale;
    }
    const struct {
        int32_t ms, scale;
        int64_t rangeEnd, target;
    } seeks[] = {
        {5000, 600, 6000, 3000},
        {20000, 600, 6000, 5000},  // beyond the end: the end less 1000 units
        {20000, 600, 500, 0},      // never before the start
        {INT32_MAX, 90000, INT64_MAX, 193273528230LL},
    };
    for (const auto& s : seeks) {
        EXPECT_EQ(seekTarget(s.ms, s.scale, s.rangeEnd), s.target) << s.ms;
    }
}

TEST(MovaVersionRule, ProtectedNamesNeedTheNewerRuntimeAndHearTheirOwnRefusal) {
    const struct {
        std::optional<uint32_t> version;
        bool plain, protectedToo;
    } cases[] = {
        {std::nullopt, false, false}, {0x06307FFF, false, false}, {0x06308000, true, false},
        {0x06517FFF, true, false},    {0x06518000, true, true},   {0x07008000, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(versionAccepted(c.version, false), c.plain);
        EXPECT_EQ(versionAccepted(c.version, true), c.protectedToo);
    }
    EXPECT_EQ(runtimeRefusal(false).event, 110);
    EXPECT_EQ(runtimeRefusal(false).status, 238);
    EXPECT_EQ(runtimeRefusal(true).event, 113);
    EXPECT_EQ(runtimeRefusal(true).status, 241);
}

}  // namespace
