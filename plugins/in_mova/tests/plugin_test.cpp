// in_mova.so under a small host of the test's own, over the stand-in movie runtime: refusals
// without a usable runtime, a movie played into the video window to its end, a stream's loading
// statuses, stop, the video window's letterbox, file information and its extended export.
#include <gtest/gtest.h>
#include <sonari/host_messages.h>

#include <cstring>

#include <qtml/qtml.h>
#include "plugins/in_mova/tests/mova_host.h"

namespace {

using namespace kinvo::in_mova::testing;
using Statuses = std::vector<std::pair<int32_t, int32_t>>;

constexpr const char* kClip = "/movies/dur=3000,scale=600,box=320x240,title=Clip,tasks=20.mov";

class MovaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        recorder().reset();
        useFakeRuntime();
    }
    bool trackEnded() {
        return recorder().waitFor([] { return recorder().posted(SONARI_MSG_TRACK_END); });
    }
    Statuses statuses() {
        const std::lock_guard lock(recorder().lock);
        return recorder().statuses;
    }
};

TEST_F(MovaTest, PlayRefusesWithoutAUsableRuntimeAndSaysWhichOneIsMissing) {
    const struct {
        std::optional<uint32_t> version;
        bool folder;
        const char* name;
        int32_t event, status;
    } cases[] = {
        {std::nullopt, true, "/m/a.mov", 110, 238},  // no version
        {0x06307000, true, "/m/a.mov", 110, 238},    // too old
        {0x06400000, true, "/m/a.M4p", 113, 241},    // too old for protected files
        {0x07008000, false, "/m/a.qt", 110, 238},    // the library found nowhere
    };
    for (const auto& c : cases) {
        recorder().reset();
        {
            const std::lock_guard lock(recorder().lock);
            recorder().version = c.version;
            recorder().runtimeFolder = c.folder ? FAKE_MOVIE_RUNTIME_DIR : "";
        }
        MovaPlugin plugin;
        EXPECT_EQ(plugin->play(c.name), -200) << c.name;
        EXPECT_EQ(recorder().events, std::vector<int32_t>{c.event}) << c.name;
        EXPECT_EQ(statuses(), (Statuses{{c.status, 0}})) << c.name;
    }
}

TEST_F(MovaTest, AMoviePlaysIntoTheVideoWindowToItsEndAndTheTrackEnds) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    plugin->setVolume(200);
    ASSERT_EQ(plugin->play(kClip), 0);
    EXPECT_EQ(runtime.lastAddress(), std::string("file://") + kClip);
    EXPECT_EQ(runtime.counter("fakeNewMovieFlags"), 0x101);
    ASSERT_TRUE(trackEnded());
    {
        const std::lock_guard lock(recorder().lock);
        EXPECT_EQ(recorder().opens, 1);
        EXPECT_EQ(recorder().openWidth, 320);
        EXPECT_EQ(recorder().openHeight, 240);
        EXPECT_EQ(recorder().openType, SONARI_VIDEO_NONE);
        EXPECT_NE(recorder().procs[kVideoWindow], nullptr);
        EXPECT_NE(recorder().procs[kVideoWindow], originalProcedure);
        EXPECT_TRUE(recorder().statuses.empty());  // a local file needs no loading
    }
    EXPECT_EQ(runtime.read<intptr_t>("fakeMoviePort"), kVideoWindow + 0x10000);
    EXPECT_EQ(runtime.counter("fakeVolume"), 200);
    EXPECT_EQ(runtime.counter("fakePlayRate"), 1);
    EXPECT_EQ(plugin->getLength(), 5000);
    EXPECT_EQ(plugin.fileInfo(""), std::make_pair(std::string("Clip"), 5000));
    plugin->stop();
}

TEST_F(MovaTest, StopReleasesEverythingAndGivesTheWindowBack) {
    const FakeRuntime runtime;
    const int inits = runtime.counter("fakeInits");
    const int terms = runtime.counter("fakeTerms");
    {
        MovaPlugin plugin;
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(plugin->play("/m/tasks=100000.mov"), 0);
            ASSERT_TRUE(recorder().waitFor([round] { return recorder().opens > round; }));
            plugin->stop();
            EXPECT_EQ(runtime.counter("fakeMovies"), 0);
            EXPECT_EQ(runtime.counter("fakeControllers"), 0);
            EXPECT_EQ(runtime.counter("fakeBuffers"), 0);
            EXPECT_EQ(runtime.counter("fakeEnterDepth"), 0);
            EXPECT_EQ(runtime.counter("fakeHandles"), 0);
            const std::lock_guard lock(recorder().lock);
            EXPECT_EQ(recorder().procs[kVideoWindow], originalProcedure);
            EXPECT_EQ(recorder().closes, round + 1);
            EXPECT_FALSE(recorder().posted(SONARI_MSG_TRACK_END));
        }
    }
    EXPECT_EQ(runtime.counter("fakeInits") - inits, 1);  // started once, terminated at quit
    EXPECT_EQ(runtime.counter("fakeTerms") - terms, 1);
}

TEST_F(MovaTest, AStreamReportsItsLoadingOnceEachInOrder) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    ASSERT_EQ(plugin->play("http://h/load=500.500.15000.15000.20000,tasks=5.mov"), 0);
    EXPECT_EQ(runtime.lastAddress(), "http://h/load=500.500.15000.15000.20000,tasks=5.mov");
    ASSERT_TRUE(trackEnded());
    EXPECT_EQ(statuses(), (Statuses{{201, 0}, {208, 0}, {208, 255}, {214, 0}}));
    plugin->stop();
}

TEST_F(MovaTest, FailuresWhilePlayingRaiseTheirStatusAndMoveOn) {
    const struct {
        const char* name;
        Statuses statuses;
        bool stopAsked;
    } cases[] = {
        {"http://h/load=-1.mov", {{206, 0}}, false},              // loading failed
        {"rtsp://h/err=-50,tasks=100000.mov", {{206, 0}}, true},  // the stream broke
        {"/m/err=-2026,tasks=100000.m4p", {}, true},              // protected content refused
    };
    const FakeRuntime runtime;
    for (const auto& c : cases) {
        recorder().reset();
        MovaPlugin plugin;
        ASSERT_EQ(plugin->play(c.name), 0) << c.name;
        ASSERT_TRUE(trackEnded()) << c.name;
        plugin->stop();
        EXPECT_EQ(statuses(), c.statuses) << c.name;
        const std::lock_guard lock(recorder().lock);
        std::vector<std::pair<uint32_t, intptr_t>> toHost;
        for (const auto& p : recorder().posts) {
            if (p.window == kHostWindow) {
                toHost.emplace_back(p.message, p.lParam);
            }
        }
        const bool stopAsked =
            toHost.front() == std::make_pair(uint32_t{SONARI_MSG_COMMAND}, intptr_t{703});
        EXPECT_EQ(stopAsked, c.stopAsked) << c.name;
    }
}

TEST_F(MovaTest, PlayWithoutAVideoOutputFailsAndKeepsNothing) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    recorder().offerVideo = false;
    EXPECT_EQ(plugin->play(kClip), -200);
    EXPECT_EQ(runtime.counter("fakeMovies"), 0);
    EXPECT_EQ(runtime.counter("fakeEnterDepth"), 0);
}

TEST_F(MovaTest, TheVideoWindowLetterboxesTheMovieAndPaintsTheStripsBlack) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    ASSERT_EQ(plugin->play("/m/box=320x240,tasks=100000.mov"), 0);
    ASSERT_TRUE(recorder().waitFor([] { return recorder().posts.size() == 1; }));
    deliverPosted();  // the placement asked of the window's own thread
    const auto box = runtime.read<QtmlRect>("fakeMovieBox");
    EXPECT_EQ((std::vector<int>{box.top, box.left, box.bottom, box.right}),
              (std::vector<int>{0, 80, 360, 560}));
    EXPECT_EQ(deliver(SONARI_WM_ERASEBKGND), 1);
    SonariWindowPos pos{kVideoWindow, 0, 0, 0, 400, 400, 0};
    EXPECT_EQ(deliver(SONARI_WM_WINDOWPOSCHANGED, 0, reinterpret_cast<intptr_t>(&pos)), 0x0123);
    const auto square = runtime.read<QtmlRect>("fakeMovieBox");
    EXPECT_EQ((std::vector<int>{square.top, square.left, square.bottom, square.right}),
              (std::vector<int>{50, 0, 350, 400}));
    {
        const std::lock_guard lock(recorder().lock);
        EXPECT_EQ(recorder().placements, 1);
        EXPECT_EQ(recorder().timers, std::vector<uintptr_t>{0x4445});
        ASSERT_EQ(recorder().fills.size(), 2u);  // left and right of a 640 x 360 window
        EXPECT_EQ(recorder().fills[0].right, 80);
        EXPECT_EQ(recorder().fills[1].left, 560);
    }
    plugin->stop();
    const std::lock_guard lock(recorder().lock);
    EXPECT_TRUE(recorder().timers.empty());
}

TEST_F(MovaTest, PauseSeekAndPositionDriveTheController) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    ASSERT_EQ(plugin->play("/m/dur=6000,scale=600,tasks=100000.mov"), 0);
    ASSERT_TRUE(recorder().waitFor([] { return recorder().opens == 1; }));
    plugin->pause();
    EXPECT_EQ(plugin->isPaused(), 1);
    EXPECT_EQ(runtime.counter("fakePlayRate"), 0);
    const struct {
        int32_t ms;
        int64_t target;
    } seeks[] = {{5000, 3000}, {20000, 5000}};
    for (const auto& s : seeks) {
        plugin->setOutputTime(s.ms);
        EXPECT_EQ(runtime.read<int64_t>("fakeGoTo"), s.target);
    }
    EXPECT_EQ(plugin->getOutputTime(), 5000 * 1000 / 600);  // paused: time stands
    plugin->unpause();
    EXPECT_EQ(runtime.counter("fakePlayRate"), 1);
    plugin->stop();
}

TEST_F(MovaTest, FileInformationOpensOnlyLocalUnprotectedFiles) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    const struct {
        const char* name;
        const char* title;
        int32_t length;
    } cases[] = {
        {"/m/title=Named,dur=1200,scale=600.mov", "Named", 2000},
        {"/m/dur=600,scale=600.qt", "dur=600,scale=600.qt", 1000},
        {"C:\\films\\song.M4P", "song.M4P", -1000},
        {"http://h/title=T.mov", "title=T.mov", -1000},
        {"/m/fail.mov", "fail.mov", -1000},
    };
    for (const auto& c : cases) {
        const int movies = runtime.counter("fakeMovies");
        EXPECT_EQ(plugin.fileInfo(c.name), std::make_pair(std::string(c.title), c.length))
            << c.name;
        EXPECT_EQ(runtime.counter("fakeMovies"), movies);
    }
    EXPECT_EQ(runtime.lastAddress(), "file:///m/fail.mov");  // neither the .M4P nor http
}

TEST_F(MovaTest, ExtendedInformationAnswersLengthTitleAndAlwaysAMovieType) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    const auto get = plugin.extendedInfo();
    ASSERT_NE(get, nullptr);
    const char* name = "/m/title=Named,dur=1200,scale=600.mov";
    const struct {
        const char* key;
        int32_t size;
        const char* expected;
    } cases[] = {
        {"LENGTH", 16, "2000"}, {"title", 16, "Named"},      {"title", 4, "Nam"},
        {"type", 16, "1"},      {"artist", 16, "untouched"},
    };
    for (const auto& c : cases) {
        char out[32] = "untouched";
        EXPECT_EQ(get(name, c.key, out, c.size), 1);
        EXPECT_STREQ(out, c.expected) << c.key;
    }
}

}  // namespace
