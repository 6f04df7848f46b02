// out_qsnd.so as the host loads it, playing to a private sound server whose null sink's monitor
// the tests record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sonari/out_module.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "axserver/outputs/output_plugin_host.h"
#include "axserver/tests/plugins/fixture/program_folder.h"
#include "lib/pulse/tests/fixture/monitor_recording.h"
#include "lib/pulse/tests/fixture/sound_server.h"
#include "lib/pulse/tests/fixture/tone.h"
#include "plugins/tests/fixture/output_record.h"
#include "plugins/tests/fixture/tones_heard.h"

namespace {

using kinvo::pulse::testing::MonitorRecording;
using kinvo::pulse::testing::sine16;
using kinvo::pulse::testing::SoundServer;
using kinvo::testing::clockError;
using kinvo::testing::LoadedOutput;
using kinvo::testing::playAll;
using namespace std::chrono_literals;
using kinvo::testing::msSince;
using SteadyClock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kToneHz = 1000.0;
constexpr double kToneLevel = 0.5;  // of full scale

class OutQsnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server_.started()) {
            GTEST_SKIP() << "no private sound server: " << server_.failure();
        }
        ASSERT_TRUE(out_.loaded());
    }

    SoundServer server_;
    LoadedOutput out_{KINVO_OUT_QSND_PATH};
};

TEST_F(OutQsnd, ToneArrivesAtItsPitchAndLevel) {
    const kinvo::testing::ToneCase cases[] = {
        // volume, pan, left and right gain
        {255, 0, 1.0, 1.0},
        {128, 0, 128 / 255.0, 128 / 255.0},
        {255, -64, 1.0, 0.5},
        {64, 127, 0.0, 64 / 255.0},
    };
    kinvo::testing::expectTonesArrive(server_, out_, cases);
}

TEST_F(OutQsnd, PositionFollowsPlayingPausingAndFlushing) {
    // The null sink renders as far ahead as its clients let it (two seconds when nobody asks);
    // a recording keeps it at 10 ms, as a sound card's period would, so that pausing shows at
    // once.
    MonitorRecording recording(server_);
    ASSERT_EQ(out_->open(kRate, kChannels, 16, -1, -1), 0);
    const std::vector<int16_t> tone = sine16(kToneHz, kToneLevel, kRate, kChannels, 3.0);
    const auto toneBytes = static_cast<int32_t>(tone.size() * sizeof(int16_t));
    // More than the buffer is taken at once; the stream keeps it.
    ASSERT_EQ(out_->write(reinterpret_cast<const char*>(tone.data()), toneBytes), 0);
    EXPECT_EQ(out_->getWrittenTime(), 3000);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(out_->isPlaying(), 1);
    const int64_t playingError = clockError(out_, 800ms);
    RecordProperty("playing_clock_error_ms", std::to_string(playingError));
    EXPECT_LE(playingError, 15);

    EXPECT_EQ(out_->pause(1), 0);
    const int32_t pausedAt = out_->getOutputTime();
    std::this_thread::sleep_for(300ms);
    EXPECT_NEAR(out_->getOutputTime(), pausedAt, 2);
    EXPECT_EQ(out_->isPlaying(), 1);  // paused sound is still to be heard
    EXPECT_EQ(out_->pause(0), 1);
    const auto resumed = SteadyClock::now();
    std::this_thread::sleep_for(100ms);
    EXPECT_NEAR(out_->getOutputTime() - pausedAt, msSince(resumed), 25);

    out_->flush(60000);
    EXPECT_EQ(out_->getWrittenTime(), 60000);
    EXPECT_NEAR(out_->getOutputTime(), 60000, 5);
    ASSERT_EQ(out_->write(reinterpret_cast<const char*>(tone.data()), toneBytes), 0);
    const auto rewritten = SteadyClock::now();
    EXPECT_EQ(out_->getWrittenTime(), 63000);
    std::this_thread::sleep_for(200ms);
    // It starts again within the prebuffer's time and never runs ahead of real time.
    const int32_t afterFlush = out_->getOutputTime() - 60000;
    EXPECT_LE(afterFlush, msSince(rewritten) + 5);
    EXPECT_GE(afterFlush, msSince(rewritten) - 150);
    const int64_t flushedError = clockError(out_, 500ms);
    RecordProperty("flushed_clock_error_ms", std::to_string(flushedError));
    EXPECT_LE(flushedError, 15);
    out_->close();
    EXPECT_EQ(out_->isPlaying(), 0);
    EXPECT_EQ(out_->write(reinterpret_cast<const char*>(tone.data()), 4), -1);
}

TEST(OutQsndServerLoss, AServerThatGoesAwayEndsThePlaying) {
    std::optional<SoundServer> server(std::in_place);
    if (!server->started()) {
        GTEST_SKIP() << "no private sound server: " << server->failure();
    }
    LoadedOutput out(KINVO_OUT_QSND_PATH);
    ASSERT_EQ(out->open(kRate, kChannels, 16, -1, -1), 0);
    const std::vector<int16_t> tone = sine16(kToneHz, kToneLevel, kRate, kChannels, 3.0);
    const auto* bytes = reinterpret_cast<const char*>(tone.data());
    ASSERT_EQ(out->write(bytes, static_cast<int32_t>(tone.size() * sizeof(int16_t))), 0);
    EXPECT_EQ(out->isPlaying(), 1);
    server.reset();
    const auto until = SteadyClock::now() + 2s;
    while (out->isPlaying() != 0 && SteadyClock::now() < until) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(out->isPlaying(), 0);  // an input plug-in waiting for the end is not kept waiting
    EXPECT_EQ(out->write(bytes, 4), -1);
    EXPECT_EQ(out->canWrite(), 0);
    out->close();
}

TEST(OutQsndChoice, HostPrefersTheSoundServerOnlyWhenOneAnswers) {
    for (const bool serverRuns : {false, true}) {
        SCOPED_TRACE(serverRuns ? "server runs" : "no server");
        std::optional<SoundServer> server;
        if (serverRuns) {
            server.emplace();
            if (!server->started()) {
                GTEST_SKIP() << "no private sound server: " << server->failure();
            }
        } else {
            setenv("PULSE_SERVER", "unix:/nonexistent/kinvo/native", 1);
        }
        vexa::testing::ProgramFolder folder;
        folder.copyIn(KINVO_OUT_QSND_PATH, "Plugins/out_qsnd.so");
        folder.copyIn(KINVO_OUT_QMIX_PATH, "Plugins/out_qmix.so");
        vexa::OutputPluginHost host;
        const auto start = SteadyClock::now();
        host.loadAll(folder.path(), 0x40001234);
        const auto took = SteadyClock::now() - start;
        EXPECT_EQ(host.outputs().size(), 2u);
        EXPECT_EQ(host.preferredOutput(), serverRuns ? "out_qsnd.so" : "out_qmix.so");
        EXPECT_LT(took, 1s);
        host.unloadAll();
        unsetenv("PULSE_SERVER");
    }
}

}  // namespace
