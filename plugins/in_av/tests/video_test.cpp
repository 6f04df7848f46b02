// The pictures of in_av.so on the test host's recording video output: the open per pixel format
// and aspect with the first picture against the ffmpeg tool's own decoding, pictures in order and
// on time against the sound's clock, a file without sound, pause and seek, a change of size, and
// no open when the host has no video window.
#include <gtest/gtest.h>
#include <sonari/video_output.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "plugins/in_av/tests/media.h"
#include "plugins/in_av/tests/plugin_pair.h"

namespace kinvo::in_av::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kTrackTimeout = 60s;
constexpr int kFrameMs = 40;  // 25 pictures a second
// How late a picture may be drawn: loose, for a loaded machine under a sanitizer (two tests run
// at once on two cores there).
constexpr int32_t kLateMs = 1000;
// Pictures whose luma tells their number: 2 x n, lossless.
constexpr const char* kNumbered =
    "-f lavfi -i color=c=black:size=160x120:rate=25:duration=3,format=yuv420p,"
    "geq=lum=2*N:cb=128:cr=128 ";
constexpr const char* kLossless = " -c:v libx264 -qp 0 -pix_fmt yuv420p";
constexpr const char* kSound = " -f lavfi -i sine=frequency=440:duration=3 -c:a aac -ac 2";

int maxDifference(const std::string& a, const std::string& b) {
    int worst = a.size() == b.size() ? 0 : 256;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        worst = std::max(worst, std::abs(static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i])));
    }
    return worst;
}

class InAvVideo : public ::testing::Test {
  protected:
    // Checks that the pictures drawn came in order, each when the clock had reached it and not
    // long after, and answers how many there were.
    size_t checkTimely(int32_t lateMs) {
        const std::vector<VideoDraw> draws = pair.videoDraws();
        for (size_t i = 0; i < draws.size(); ++i) {
            const int number = draws[i].centreLuma / 2;
            if (i > 0) {
                EXPECT_GT(draws[i].centreLuma, draws[i - 1].centreLuma) << "picture " << i;
            }
            EXPECT_GE(draws[i].timeMs, number * kFrameMs - 5) << "picture " << number;
            EXPECT_LE(draws[i].timeMs, number * kFrameMs + lateMs) << "picture " << number;
        }
        return draws.size();
    }

    MediaFolder media;
    PluginPair pair{media.path(), Pace::RealTime};
    SonariInModule& in = pair.in();
};

TEST_F(InAvVideo, OpensForThePixelFormatAndHandsTheDecodedPicture) {
    struct Row {
        const char* name;
        const char* arguments;
        int32_t width, height;
        double aspect;
        uint32_t type;
        const char* referenceFormat;
        int tolerance;  // the conversion through libswscale may round differently
    };
    const char* source = "-f lavfi -i testsrc2=size=160x120:rate=10:duration=1";
    const Row rows[] = {
        {"yv12.mp4", "-c:v libx264 -pix_fmt yuv420p", 160, 120, 1.0, SONARI_VIDEO_YV12, "yuv420p",
         0},
        {"wide.mp4", "-vf setsar=2/1 -c:v libx264 -pix_fmt yuv420p", 160, 120, 0.5,
         SONARI_VIDEO_YV12, "yuv420p", 0},
        {"full.avi", "-c:v mjpeg -pix_fmt yuvj420p", 160, 120, 1.0, SONARI_VIDEO_YV12, "yuvj420p",
         0},
        {"yuy2.nut", "-c:v rawvideo -pix_fmt yuyv422", 160, 120, 1.0, SONARI_VIDEO_YUY2, "yuyv422",
         0},
        {"uyvy.nut", "-c:v rawvideo -pix_fmt uyvy422", 160, 120, 1.0, SONARI_VIDEO_UYVY, "uyvy422",
         0},
        {"bgr0.nut", "-c:v rawvideo -pix_fmt bgr0", 160, 120, 1.0, SONARI_VIDEO_RG32, "bgr0", 0},
        {"bgr24.nut", "-c:v rawvideo -pix_fmt bgr24", 160, 120, 1.0, SONARI_VIDEO_RG24, "bgr24", 0},
        {"yuv422.mp4", "-c:v libx264 -pix_fmt yuv422p", 160, 120, 1.0, SONARI_VIDEO_YV12, "yuv420p",
         2},
        {"odd.mkv", "-vf scale=161:121 -c:v ffv1 -pix_fmt yuv444p", 161, 121, 1.0,
         SONARI_VIDEO_YV12, "yuv420p", 2},
    };
    int ends = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = media.make(row.name, std::string(source) + " " + row.arguments);
        const std::string reference = readFile(media.make(
            "reference.raw",
            "-i '" + file + "' -frames:v 1 -f rawvideo -pix_fmt " + row.referenceFormat));
        const size_t drawnBefore = pair.videoDraws().size();
        ASSERT_EQ(in.play(file.c_str()), 0);
        ASSERT_TRUE(pair.waitForTrackEnds(++ends, kTrackTimeout));
        EXPECT_EQ(pair.videoCloses(), ends - 1);
        in.stop();
        EXPECT_EQ(pair.videoCloses(), ends);
        const std::vector<VideoOpen> opens = pair.videoOpens();
        ASSERT_FALSE(opens.empty());
        const VideoOpen& open = opens.back();
        EXPECT_EQ(open.width, row.width);
        EXPECT_EQ(open.height, row.height);
        EXPECT_EQ(open.flip, 0);
        EXPECT_DOUBLE_EQ(open.aspect, row.aspect);
        EXPECT_EQ(open.type, row.type);
        EXPECT_LE(maxDifference(pair.firstPicture(), reference), row.tolerance);
        const size_t drawn = pair.videoDraws().size() - drawnBefore;
        EXPECT_GE(drawn, 3u);  // 10 pictures; a loaded machine under a sanitizer drops some
        EXPECT_LE(drawn, 10u);
    }
}

TEST_F(InAvVideo, PicturesKeepTimeWithTheSound) {
    const std::string file = media.make("clip.mp4", std::string(kNumbered) + kSound + kLossless);
    ASSERT_EQ(in.play(file.c_str()), 0);
    ASSERT_TRUE(pair.waitForTrackEnds(1, kTrackTimeout));
    const size_t drawn = checkTimely(kLateMs);
    EXPECT_GE(drawn, 40u);  // 75 pictures; a slow machine may drop some
    EXPECT_LE(drawn, 75u);
    EXPECT_EQ(pair.videoCloses(), 0);
    in.stop();
    EXPECT_EQ(pair.videoCloses(), 1);
}

TEST_F(InAvVideo, AFileWithoutSoundPlaysByItsOwnClockAndEnds) {
    const std::string file = media.make("silent.mp4", std::string(kNumbered) + kLossless);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(in.play(file.c_str()), 0);
    EXPECT_NEAR(in.getLength(), 3000, 50);
    ASSERT_TRUE(pair.waitForTrackEnds(1, kTrackTimeout));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2800ms);  // never faster than the clock
    EXPECT_NEAR(in.getOutputTime(), 3000, 100);
    const size_t drawn = checkTimely(kLateMs);
    EXPECT_GE(drawn, 40u);
    EXPECT_LE(drawn, 75u);
}

TEST_F(InAvVideo, TextSubtitlesShowWhileDueAtTheBottomCentre) {
    const std::string subtitles =
        media.write("subtitles.srt",
                    "1\n00:00:00,500 --> 00:00:01,500\nHello <i>there</i>\n\n"
                    "2\n00:00:02,000 --> 00:00:02,800\nTwo\nlines\n\n");
    const std::string file =
        media.make("subtitled.mkv", std::string(kNumbered) + kSound + " -i " + subtitles +
                                        kLossless + " -c:s srt -map 0:v -map 1:a -map 2:s");
    ASSERT_EQ(in.play(file.c_str()), 0);
    ASSERT_TRUE(pair.waitForTrackEnds(1, kTrackTimeout));
    const std::vector<VideoSubtitle> shown = pair.videoSubtitles();
    struct Expected {
        int32_t atMs;
        const char* text;
    };
    const Expected expected[] = {
        {500, "Hello there"}, {1500, ""}, {2000, "Two\nlines"}, {2800, ""}};
    ASSERT_EQ(shown.size(), std::size(expected));
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].text, expected[i].text);
        EXPECT_GE(shown[i].timeMs, expected[i].atMs - 5) << i;
        EXPECT_LE(shown[i].timeMs, expected[i].atMs + kLateMs) << i;
        if (!shown[i].text.empty()) {
            EXPECT_EQ(shown[i].x, 127);
            EXPECT_EQ(shown[i].y, 255);
        }
    }
}

TEST_F(InAvVideo, PauseHoldsThePicturesAndSeekMovesThem) {
    const std::string file = media.make("long.mp4",
                                        "-f lavfi -i color=c=black:size=160x120:rate=25:"
                                        "duration=10,format=yuv420p,geq=lum=N:cb=128:cr=128" +
                                            std::string(kLossless));
    ASSERT_EQ(in.play(file.c_str()), 0);
    std::this_thread::sleep_for(300ms);
    in.pause();
    std::this_thread::sleep_for(50ms);
    const size_t held = pair.videoDraws().size();
    EXPECT_GT(held, 0u);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(pair.videoDraws().size(), held);
    in.setOutputTime(6000);
    in.unpause();
    for (int i = 0; i < 200 && pair.videoDraws().size() <= held; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    const std::vector<VideoDraw> draws = pair.videoDraws();
    ASSERT_GT(draws.size(), held);
    EXPECT_NEAR(draws[held].centreLuma, 6000 / kFrameMs, 2);
    in.stop();
    EXPECT_EQ(pair.videoCloses(), 1);
}

TEST_F(InAvVideo, AChangeOfSizeOpensAgainFirst) {
    // Two pieces of a transport stream one after the other: the size changes within one stream.
    const std::string first = readFile(
        media.make("a.ts", "-f lavfi -i testsrc2=size=160x120:rate=25:duration=1 -c:v libx264"));
    const std::string second = readFile(
        media.make("b.ts", "-f lavfi -i testsrc2=size=96x64:rate=25:duration=1 -c:v libx264"));
    const std::string file = media.write("both.ts", first + second);
    ASSERT_EQ(in.play(file.c_str()), 0);
    ASSERT_TRUE(pair.waitForTrackEnds(1, kTrackTimeout));
    const std::vector<VideoOpen> opens = pair.videoOpens();
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].width, 160);
    EXPECT_EQ(opens[1].width, 96);
    EXPECT_EQ(opens[1].height, 64);
}

TEST_F(InAvVideo, WithoutAVideoWindowNothingOpens) {
    pair.offerVideoOutput(false);
    const std::string clip = media.make("clip.mp4", std::string(kNumbered) + kSound + kLossless);
    const std::string silent = media.make("silent.mp4", std::string(kNumbered) + kLossless);
    ASSERT_EQ(in.play(clip.c_str()), 0);
    ASSERT_TRUE(pair.waitForTrackEnds(1, kTrackTimeout));
    EXPECT_NEAR(pair.lastPcmSize() / 4 / 44100.0, 3.0, 0.1);
    ASSERT_EQ(in.play(silent.c_str()), 0);
    ASSERT_TRUE(pair.waitForTrackEnds(2, kTrackTimeout));
    in.stop();
    EXPECT_TRUE(pair.videoOpens().empty());
    EXPECT_EQ(pair.videoCloses(), 0);
}

}  // namespace
}  // namespace kinvo::in_av::testing
