// The movie against FFmpeg's own view of files the ffmpeg tool makes: what it reports once open,
// how failed opens answer, pictures presented in order and on time, seeking, and sound heard
// on a private sound server.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "axserver/download/tests/loopback_server.h"
#include "lib/pulse/tests/fixture/monitor_recording.h"
#include "lib/pulse/tests/fixture/sound_server.h"
#include "runtimes/qtml/movie/movie.h"
#include "runtimes/qtml/movie/movie_clock.h"
#include "runtimes/qtml/movie/tests/ffprobe.h"

namespace kinvo::qtml {
namespace {

using testing::probe;

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

// 2 s at 25 pictures a second whose grey level climbs by 4 a picture, so that order shows.
constexpr int kPictures = 50;
const std::string kPictures25 = "-f lavfi -i color=black:size=160x120:rate=25:duration=2 ";
const std::string kSine = "-f lavfi -i sine=frequency=440:duration=2 ";
const std::string kGrey = "-vf \"geq=lum='16+N*4':cb=128:cr=128";

struct Kind {
    const char* name;
    std::string arguments;  // the ffmpeg tool's, the inputs included
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.name;
}

const std::vector<Kind> kKinds = {
    {"h264.mov", kPictures25 + kSine + kGrey +
                     "\" -c:v libx264 -pix_fmt yuv420p -c:a aac -metadata title=\"First movie\""},
    {"mpeg4.mov", kPictures25 + kSine + kGrey +
                      ",setsar=2\" -c:v mpeg4 -q:v 2 -c:a aac -metadata title=\"Second movie\""},
    {"pictures.qt", kPictures25 + kGrey + "\" -c:v mpeg4 -q:v 2 -f mov"},
};

class Media {
  public:
    Media() {
        char pattern[] = "/tmp/qtml_movie_test.XXXXXX";
        folder_ = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        for (const Kind& kind : kKinds) {
            const std::string file = folder_ + "/" + kind.name;
            const std::string command =
                "ffmpeg -nostdin -y -v error " + kind.arguments + " '" + file + "'";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
    ~Media() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string path(const char* name) const { return folder_ + "/" + name; }

  private:
    std::string folder_;
};

const Media& media() {
    static const Media made;
    return made;
}

struct Presented {
    Steady::time_point when;
    int width;
    int height;
    int grey;  // the blue of the middle pixel
};

class RecordingTarget : public PictureTarget {
  public:
    void present(const uint8_t* bgra, int width, int height, int stride) noexcept override {
        const uint8_t* middle = bgra + (height / 2) * stride + (width / 2) * 4;
        std::lock_guard lock(mutex_);
        seen_.push_back({Steady::now(), width, height, middle[0]});
    }
    std::vector<Presented> seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Presented> seen_;  // guarded by mutex_
};

// Presents the movie's due pictures into a target from a thread of its own, as a caller's task
// loop would, until dropped.
class Presenter {
  public:
    Presenter(Movie& movie, PictureTarget& target)
        : thread_([&movie, &target, this] {
              while (!stop_) {
                  movie.presentDue(target);
                  std::this_thread::sleep_for(200us);
              }
          }) {}
    ~Presenter() {
        stop_ = true;
        thread_.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

bool waitUntilDone(const Movie& movie, std::chrono::milliseconds limit) {
    const Steady::time_point end = Steady::now() + limit;
    while (!movie.isDone() && Steady::now() < end) {
        std::this_thread::sleep_for(10ms);
    }
    return movie.isDone();
}

// The grey level of picture n as the tool made it (studio range widened to full range).
int greyOf(int picture) {
    return static_cast<int>((16 + picture * 4 - 16) * 255.0 / 219.0 + 0.5);
}

// Plays `movie` to its end; checks the pictures come in order, scaled, on time, and all but a few.
// `slackMs` widens the timing check.
// The still picture a stopped movie offers counts as the first; presenting starts with the play.
void expectPlaysToTheEnd(Movie& movie, int firstPicture, int64_t slackMs = 250) {
    RecordingTarget target;
    movie.setMovieBox(80, 60);
    const Steady::time_point started = Steady::now();
    {
        Presenter presenter(movie, target);
        movie.start();
        ASSERT_TRUE(waitUntilDone(movie, 10s));
        std::this_thread::sleep_for(20ms);  // the last picture reaches the target
    }
    EXPECT_EQ(movie.currentTime().value, movie.duration());
    const std::vector<Presented> seen = target.seen();
    const int expected = kPictures - firstPicture;
    ASSERT_GE(static_cast<int>(seen.size()), expected * 9 / 10);
    EXPECT_LE(static_cast<int>(seen.size()), expected);
    EXPECT_NEAR(seen.front().grey, greyOf(firstPicture), 6);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].width, 80);
        EXPECT_EQ(seen[i].height, 60);
        if (i > 0) {
            EXPECT_GE(seen[i].grey + 3, seen[i - 1].grey) << "picture " << i;
        }
    }
    const auto ms = [&](Steady::time_point t) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(t - started).count();
    };
    // Picture n is due n * 40 ms after the start of the play.
    EXPECT_NEAR(ms(seen.back().when) - ms(seen.front().when), (expected - 1) * 40, slackMs);
}

class MovieTest : public ::testing::TestWithParam<Kind> {};

TEST_P(MovieTest, ReportsWhatFfprobeReads) {
    const std::string file = media().path(GetParam().name);
    std::map<std::string, std::string> reference = probe(file);
    Movie movie("file://" + file);
    ASSERT_GE(movie.waitForLoadState(kPlaythroughOk, 10s), kPlaythroughOk);
    EXPECT_EQ(movie.timeScale(), 600);
    EXPECT_NEAR(movie.duration(), std::stod(reference["duration"]) * 600, 1);
    EXPECT_EQ(movie.timeRange().last, movie.duration());
    int sampleNum = 1;
    int sampleDen = 1;
    std::sscanf(reference["sample_aspect_ratio"].c_str(), "%d:%d", &sampleNum, &sampleDen);
    EXPECT_EQ(movie.naturalBox().width, std::stoi(reference["width"]) * sampleNum / sampleDen);
    EXPECT_EQ(movie.naturalBox().height, std::stoi(reference["height"]));
    EXPECT_EQ(movie.title(), reference["TAG:title"]);
    EXPECT_FALSE(movie.isDone());
}

// No sound server (PULSE_SERVER names none): the pictures follow the steady clock.
TEST_P(MovieTest, PresentsEveryPictureInOrderOnTime) {
    Movie movie(media().path(GetParam().name));
    ASSERT_GE(movie.waitForLoadState(kPlaythroughOk, 10s), kPlaythroughOk);
    expectPlaysToTheEnd(movie, 0);
}

TEST_P(MovieTest, GoesToATimeAndPlaysOnFromThere) {
    Movie movie(media().path(GetParam().name));
    ASSERT_GE(movie.waitForLoadState(kPlaythroughOk, 10s), kPlaythroughOk);
    movie.goToTime(600);
    EXPECT_EQ(movie.currentTime().value, 600);
    expectPlaysToTheEnd(movie, 25);
}

INSTANTIATE_TEST_SUITE_P(Files, MovieTest, ::testing::ValuesIn(kKinds), [](const auto& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

TEST(MovieOpen, FailuresAnswerNegativeLoadStates) {
    const struct {
        std::string address;
        int32_t state;
    } cases[] = {
        {"/nonexistent/movie.mov", kOpenFailed},
        {"file:///nonexistent/movie.mov", kOpenFailed},
        {"http://127.0.0.1:1/movie.mov", kOpenFailed},  // nobody listens on port 1
        {"rtsp://127.0.0.1:1/movie.mov", kRtspOpenFailed},
    };
    for (const auto& c : cases) {
        Movie movie(c.address);
        EXPECT_EQ(movie.waitForLoadState(kPlayable, 20s), c.state) << c.address;
    }
}

TEST(MovieSound, PlaysToThePrivateSoundServerAtItsVolume) {
    pulse::testing::SoundServer server;
    if (!server.started()) {
        GTEST_SKIP() << server.failure();
    }
    const struct {
        int volume;
        int minPeak;  // the tool's sine peaks near an eighth of full scale
        int maxPeak;
    } cases[] = {{0, 0, 10}, {256, 2000, 32767}};
    for (const auto& c : cases) {
        SCOPED_TRACE("volume " + std::to_string(c.volume));
        pulse::testing::MonitorRecording recording(server);
        {
            Movie movie(media().path("h264.mov"));
            ASSERT_GE(movie.waitForLoadState(kPlaythroughOk, 10s), kPlaythroughOk);
            movie.setVolume(c.volume);
            // The null sink at times takes nothing for a while after a stream starts: the
            // pictures then wait for the sound until the clock runs on by itself.
            expectPlaysToTheEnd(movie, 0, 250 + MovieClock::kStandingMs);
        }
        const std::vector<int16_t> heard = recording.stop();
        int peak = 0;
        for (int16_t sample : heard) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        }
        EXPECT_GE(peak, c.minPeak) << "volume " << c.volume;
        EXPECT_LE(peak, c.maxPeak) << "volume " << c.volume;
        // About the movie's two seconds were played.
        EXPECT_GT(heard.size(),
                  static_cast<size_t>(pulse::testing::MonitorRecording::kRate *
                                      pulse::testing::MonitorRecording::kChannels * 17 / 10));
    }
}

TEST(MovieControl, StopHoldsTheTimeAndStartAfterTheEndPlaysAgain) {
    Movie movie(media().path("pictures.qt"));
    ASSERT_GE(movie.waitForLoadState(kPlaythroughOk, 10s), kPlaythroughOk);
    movie.start();
    EXPECT_EQ(movie.rate(), 1);
    std::this_thread::sleep_for(500ms);
    movie.stop();
    EXPECT_EQ(movie.rate(), 0);
    std::this_thread::sleep_for(50ms);
    const int64_t held = movie.currentTime().value;
    EXPECT_NEAR(held, 300, 90);  // 500 ms of 600 units a second
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(movie.currentTime().value, held);
    movie.start();
    ASSERT_TRUE(waitUntilDone(movie, 5s));
    movie.start();  // from the beginning again
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(movie.isDone());
    EXPECT_LT(movie.currentTime().value, movie.duration() / 2);
}

// A movie read over http (a loopback server) can play through once read ahead.
TEST(MovieNetwork, HttpMovieBecomesPlayableAndPlaysThrough) {
    const std::string bytes = [] {
        std::ifstream in(media().path("h264.mov"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    vexa::testing::LoopbackServer server([&](httplib::Server& routes) {
        routes.Get("/movie.mov", [&](const httplib::Request&, httplib::Response& response) {
            response.set_content(bytes, "video/quicktime");
        });
    });
    Movie local(media().path("h264.mov"));
    Movie movie(server.url("/movie.mov"));
    ASSERT_GE(movie.waitForLoadState(kPlaythroughOk, 10s), kPlaythroughOk);
    ASSERT_GE(local.waitForLoadState(kPlaythroughOk, 10s), kPlaythroughOk);
    EXPECT_EQ(movie.duration(), local.duration());
    EXPECT_EQ(movie.naturalBox().width, local.naturalBox().width);
    EXPECT_EQ(movie.title(), local.title());
}

}  // namespace
}  // namespace kinvo::qtml
