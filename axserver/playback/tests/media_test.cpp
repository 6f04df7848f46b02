// Playback of real media inside a real vexahost with the FFmpeg decoder in_av: into the disk
// writer (installed under the name of the preferred output, so every track is decoded into a WAV
// file as fast as it goes), and through out_qsnd to a private sound server whose null sink is
// recorded (skipped where no sound server can be started).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "axserver/download/tests/loopback_server.h"
#include "axserver/tests/plugins/fixture/program_folder.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/tests/program_folder.h"
#include "lib/pulse/tests/fixture/monitor_recording.h"
#include "lib/pulse/tests/fixture/sound_server.h"
#include "lib/pulse/tests/fixture/tone.h"
#include "plugins/in_av/tests/media.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
namespace sound = kinvo::pulse::testing;
using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;

constexpr auto kGenerous = 20s;

// The stretches of a stereo recording that sound, split wherever both channels stay below
// `quiet` for a millisecond (the gap while the next track opens: a tone never stays that near
// zero for that long).
std::vector<std::vector<int16_t>> soundingStretches(const std::vector<int16_t>& heard) {
    constexpr int16_t quiet = 100;
    constexpr size_t gapFrames = 44100 / 1000;
    std::vector<std::vector<int16_t>> stretches;
    std::vector<int16_t> current;
    size_t silentFrames = 0;
    for (size_t frame = 0; frame + 1 < heard.size(); frame += 2) {
        const bool silent = std::abs(heard[frame]) < quiet && std::abs(heard[frame + 1]) < quiet;
        silentFrames = silent ? silentFrames + 1 : 0;
        current.insert(current.end(), {heard[frame], heard[frame + 1]});
        if (silentFrames == gapFrames && current.size() > 4 * gapFrames) {
            stretches.push_back(std::exchange(current, {}));
        }
    }
    stretches.push_back(std::move(current));
    return stretches;
}

class PlaybackMedia : public ::testing::Test {
  protected:
    void SetUp() override {
        test::isolateProcess();
        folder.copyIn(VEXAHOST_PATH, "vexahost");
        folder.copyIn(IN_AV_PATH, "Plugins/in_av.so");
    }
    void TearDown() override {
        if (client_ && client_->serverProcess() != nullptr) {
            client_->closeWindow();
            client_->waitFor([this] { return !client_->serverRunning(); }, kGenerous);
        }
    }
    // Starts the server (its client window made after the process was isolated) with a playlist.
    VexaClient& start(const std::vector<std::string>& names) {
        client_ = std::make_unique<VexaClient>();
        client_->setEventHandler([this](const ClientEvent& e) {
            (e.kind == ClientEvent::Kind::kEvent ? events : statuses).push_back(e.code);
        });
        EXPECT_TRUE(client_->start(folder.path() + "/vexahost", kGenerous)) << client_->lastError();
        for (const auto& name : names) {
            EXPECT_EQ(client_->call(CMD_APPEND, {Value::s(name)}).status, kStatusOk);
        }
        events.clear();
        return *client_;
    }
    bool waitForEvents(int32_t code, long count) {
        return client_->waitFor(
            [&] { return std::count(events.begin(), events.end(), code) >= count; }, kGenerous);
    }
    int32_t ask(int32_t command) { return client_->call(command).number(0); }

    testing::ProgramFolder folder;
    kinvo::in_av::testing::MediaFolder media;
    std::unique_ptr<VexaClient> client_;
    std::vector<int32_t> events;
    std::vector<int32_t> statuses;
};

TEST_F(PlaybackMedia, APlaylistOfThreeFilesPlaysThroughIntoTheDiskWriter) {
    folder.copyIn(OUT_QPCM_PATH, "Plugins/out_qsnd.so");
    const std::string pcm = folder.path() + "/pcm";
    fs::create_directory(pcm);
    setenv("KINVO_PCM_DIR", pcm.c_str(), 1);
    const std::string tone = "-f lavfi -i sine=frequency=440:duration=1 -ac 2 -ar 44100";
    VexaClient& client = start(
        {media.make("one.mp3", tone), media.make("two.flac", tone), media.make("three.ogg", tone)});
    unsetenv("KINVO_PCM_DIR");  // the server has it

    ASSERT_EQ(client.call(CMD_PLAY).status, kStatusOk);
    ASSERT_TRUE(waitForEvents(kEventTrackEndHandled, 3));
    client.pump(100ms);
    EXPECT_THAT(events, ElementsAre(4, 2, 4, 1, 2, 4, 1, 1));
    EXPECT_EQ(ask(CMD_GET_STATE), 0);
    EXPECT_EQ(ask(CMD_GET_CURRENT), 2);

    // One file a track, each a second of 16-bit stereo (the lossy ones within a frame), and
    // nothing from the trial open.
    std::vector<fs::path> written(fs::directory_iterator(pcm), fs::directory_iterator{});
    ASSERT_EQ(written.size(), 3u);
    for (const auto& path : written) {
        const auto data = static_cast<int64_t>(fs::file_size(path)) - 44;
        EXPECT_NEAR(data, 44100 * 4, 1152 * 4) << path;
    }
}

// A stereo tone at half of full scale (-9.03 dB), which the default volume 200 of 255 lowers by
// 2.11 dB.
constexpr char kTone[] =
    "-f lavfi -i 'aevalsrc=0.5*sin(2*PI*1000*t)|0.5*sin(2*PI*1000*t):s=44100:d=2'";
constexpr double kHeardDb = -9.03 - 2.11;

TEST_F(PlaybackMedia, AFileAndAStreamAreHeardAtTheSoundServer) {
    sound::SoundServer server;
    if (!server.started()) {
        GTEST_SKIP() << "no sound server: " << server.failure();
    }
    folder.copyIn(OUT_QSND_PATH, "Plugins/out_qsnd.so");
    const std::string file = media.make("tone.mp3", kTone);
    const std::string body = kinvo::in_av::testing::readFile(file);
    testing::LoopbackServer http([&body](httplib::Server& s) {
        s.Get("/live.qrx", [&body](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "audio/mpeg");
        });
    });
    VexaClient& client = start({file, http.url("/live.qrx")});

    sound::MonitorRecording recording(server);
    ASSERT_EQ(client.call(CMD_PLAY).status, kStatusOk);
    ASSERT_TRUE(waitForEvents(kEventTrackEndHandled, 2));
    std::this_thread::sleep_for(300ms);  // what the sink still holds
    const std::vector<int16_t> heard = recording.stop();
    client.pump(100ms);
    // in_av asks for the video output (event 5) as a stream starts, before it knows whether
    // pictures come: asked later from its decode thread, the server thread could be joining it.
    EXPECT_THAT(events, ElementsAre(4, 2, 5, 4, 1, 1));
    EXPECT_THAT(statuses, Contains(kStatusBufferingFinished)) << "the stream buffered";

    // Both tracks, one after the other, with or without a gap between them.
    double seconds = 0;
    for (const auto& stretch : soundingStretches(heard)) {
        for (int channel = 0; channel < 2; ++channel) {
            const auto tone = sound::measureTone(stretch, 2, channel, 44100);
            if (!tone) {
                continue;  // a short stretch: the end of the sink's buffer
            }
            EXPECT_NEAR(tone->hz, 1000, 2);
            EXPECT_NEAR(tone->rmsDb, kHeardDb, 1.0);
            seconds += channel == 0 ? tone->seconds : 0;
        }
    }
    EXPECT_GT(seconds, 3.5) << "both tracks were heard";
}

TEST_F(PlaybackMedia, SeekPauseAndLengthFollowWhatIsHeard) {
    sound::SoundServer server;
    if (!server.started()) {
        GTEST_SKIP() << "no sound server: " << server.failure();
    }
    folder.copyIn(OUT_QSND_PATH, "Plugins/out_qsnd.so");
    sound::MonitorRecording recording(server);  // keeps the null sink at a sound card's pace
    VexaClient& client =
        start({media.make("ten.flac", "-f lavfi -i sine=frequency=440:duration=10 -ac 2")});
    ASSERT_EQ(client.call(CMD_PLAY).status, kStatusOk);
    EXPECT_EQ(ask(CMD_GET_LENGTH), 10);
    ASSERT_EQ(client.call(CMD_SEEK, {Value::l(6)}).status, kStatusOk);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(ask(CMD_GET_POSITION), 6);
    ASSERT_EQ(client.call(CMD_PAUSE_TOGGLE).status, kStatusOk);
    EXPECT_EQ(ask(CMD_GET_STATE), 2);
    const int32_t paused = ask(CMD_GET_POSITION);
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(ask(CMD_GET_POSITION), paused) << "the position holds while paused";
    ASSERT_EQ(client.call(CMD_PAUSE_TOGGLE).status, kStatusOk);
    EXPECT_EQ(ask(CMD_GET_STATE), 1);
    const auto resumed = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitForEvents(kEventTrackEndHandled, 1));
    const double rest =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - resumed).count();
    EXPECT_NEAR(rest, 10.0 - 6.3, 0.6) << "the rest of the track after the seek, in real time";
    EXPECT_EQ(ask(CMD_GET_STATE), 0);
}

}  // namespace
}  // namespace vexa
