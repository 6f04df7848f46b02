// in_mova.so under a small host of the test's own, over the stand-in movie runtime: what the
// end-to-end tests cannot reach with the real one (refusals without a usable runtime, failures
// while playing, everything released at stop) and the file information rules.
#include <gtest/gtest.h>
#include <sonari/host_messages.h>

#include <cstring>

#include "plugins/in_mova/tests/mova_host.h"

namespace {

using namespace kinvo::in_mova::testing;
using Statuses = std::vector<std::pair<int32_t, int32_t>>;

class MovaTest : public ::testing::Test {
  protected:
    void SetUp() override { recorder().reset(); }
    bool trackEnded() {
        return recorder().waitFor(
            [] { return recorder().posted(kHostWindow, SONARI_MSG_TRACK_END, 0); });
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
        const std::lock_guard lock(recorder().lock);
        EXPECT_EQ(recorder().events, std::vector<int32_t>{c.event}) << c.name;
        EXPECT_EQ(recorder().statuses, (Statuses{{c.status, 0}})) << c.name;
    }
}

TEST_F(MovaTest, StopReleasesEverythingAndGivesTheWindowBack) {
    const FakeRuntime runtime;
    const int inits = runtime.counter("fakeInits");
    const int terms = runtime.counter("fakeTerms");
    {
        MovaPlugin plugin;
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(plugin->play("/m/a.mov"), 0);
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
            EXPECT_FALSE(recorder().posted(kHostWindow, SONARI_MSG_TRACK_END, 0));
        }
    }
    EXPECT_EQ(runtime.counter("fakeInits") - inits, 1);  // started once, terminated at quit
    EXPECT_EQ(runtime.counter("fakeTerms") - terms, 1);
}

TEST_F(MovaTest, FailuresWhilePlayingRaiseTheirStatusAndMoveOn) {
    const struct {
        const char* name;
        Statuses statuses;
        bool stopAsked;
    } cases[] = {
        {"http://h/load=-1.mov", {{206, 0}}, false},  // loading failed
        {"rtsp://h/err=-50.mov", {{206, 0}}, true},   // the stream broke
        {"/m/err=-2026.m4p", {}, true},               // protected content refused
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
        EXPECT_EQ(recorder().posted(kHostWindow, SONARI_MSG_COMMAND, 703), c.stopAsked) << c.name;
    }
}

TEST_F(MovaTest, AStreamReportsItsBufferingOnceAndAlwaysEndsIt) {
    const Statuses buffering = {{201, 0}, {208, 0}, {208, 255}, {214, 0}};
    const struct {
        const char* name;
        Statuses statuses;
    } cases[] = {
        {"http://h/load=500.500.10000.10000.20000.mov", buffering},
        {"http://h/load=500.20000.mov", buffering},  // playable between two polls
        {"/m/a.mov", {}},                            // ready at once
    };
    const FakeRuntime runtime;
    for (const auto& c : cases) {
        recorder().reset();
        MovaPlugin plugin;
        ASSERT_EQ(plugin->play(c.name), 0) << c.name;
        ASSERT_TRUE(recorder().waitFor([] { return recorder().opens == 1; })) << c.name;
        plugin->stop();
        const std::lock_guard lock(recorder().lock);
        EXPECT_EQ(recorder().statuses, c.statuses) << c.name;
    }
}

TEST_F(MovaTest, PlayWithoutAVideoOutputFailsAndKeepsNothing) {
    const FakeRuntime runtime;
    MovaPlugin plugin;
    {
        const std::lock_guard lock(recorder().lock);
        recorder().offerVideo = false;
    }
    EXPECT_EQ(plugin->play("/m/a.mov"), -200);
    EXPECT_EQ(runtime.counter("fakeMovies"), 0);
    EXPECT_EQ(runtime.counter("fakeEnterDepth"), 0);
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
