// out_qmix.so as the host loads it: through ALSA's "pulse" device to a private sound server
// whose null sink's monitor the tests record, and through ALSA's "null" device.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sonari/out_module.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

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
using kinvo::testing::msSince;
using kinvo::testing::playAll;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kToneHz = 1000.0;
constexpr double kToneLevel = 0.5;

// ALSA's "pulse" device (libasound2-plugins) plays to the server PULSE_SERVER names.
class OutQmixToServer : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server_.started()) {
            GTEST_SKIP() << "no private sound server: " << server_.failure();
        }
        setenv("KINVO_ALSA_DEVICE", "pulse", 1);
        ASSERT_TRUE(out_.loaded());
    }
    void TearDown() override { unsetenv("KINVO_ALSA_DEVICE"); }

    SoundServer server_;
    LoadedOutput out_{KINVO_OUT_QMIX_PATH};
};

TEST_F(OutQmixToServer, ToneArrivesScaledInSoftware) {
    const kinvo::testing::ToneCase cases[] = {
        // volume, pan, left and right gain
        {255, 0, 1.0, 1.0},
        {128, -64, 128 / 255.0, 64 / 255.0},
    };
    kinvo::testing::expectTonesArrive(server_, out_, cases);
}

TEST_F(OutQmixToServer, PositionFollowsPlayingPausingAndFlushing) {
    // Keeps the null sink at 10 ms, as a sound card's period would (see out_qsnd's test).
    MonitorRecording recording(server_);
    ASSERT_EQ(out_->open(kRate, kChannels, 16, -1, -1), 0);
    const std::vector<int16_t> tone = sine16(kToneHz, kToneLevel, kRate, kChannels, 3.0);
    const auto toneBytes = static_cast<int32_t>(tone.size() * sizeof(int16_t));
    ASSERT_EQ(out_->write(reinterpret_cast<const char*>(tone.data()), toneBytes), 0);
    EXPECT_EQ(out_->getWrittenTime(), 3000);
    EXPECT_EQ(out_->canWrite(), 0);  // far more than the queue holds was taken
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(out_->isPlaying(), 1);
    const int64_t playingError = clockError(out_, 800ms);
    RecordProperty("playing_clock_error_ms", std::to_string(playingError));
    EXPECT_LE(playingError, 15);

    EXPECT_EQ(out_->pause(1), 0);
    std::this_thread::sleep_for(50ms);
    const int32_t pausedAt = out_->getOutputTime();
    std::this_thread::sleep_for(300ms);
    EXPECT_NEAR(out_->getOutputTime(), pausedAt, 5);
    EXPECT_EQ(out_->isPlaying(), 1);
    EXPECT_EQ(out_->pause(0), 1);
    const auto resumed = SteadyClock::now();
    std::this_thread::sleep_for(200ms);
    EXPECT_NEAR(out_->getOutputTime() - pausedAt, msSince(resumed), 40);

    out_->flush(60000);
    EXPECT_EQ(out_->getWrittenTime(), 60000);
    EXPECT_EQ(out_->getOutputTime(), 60000);
    EXPECT_EQ(out_->isPlaying(), 0);
    ASSERT_EQ(out_->write(reinterpret_cast<const char*>(tone.data()), toneBytes), 0);
    const auto rewritten = SteadyClock::now();
    std::this_thread::sleep_for(300ms);
    // It starts again at once and never runs ahead of real time.
    const int32_t afterFlush = out_->getOutputTime() - 60000;
    EXPECT_LE(afterFlush, msSince(rewritten) + 5);
    EXPECT_GE(afterFlush, msSince(rewritten) - 100);
    const int64_t flushedError = clockError(out_, 500ms);
    RecordProperty("flushed_clock_error_ms", std::to_string(flushedError));
    EXPECT_LE(flushedError, 15);
    out_->close();
    EXPECT_EQ(out_->isPlaying(), 0);
    EXPECT_EQ(out_->write(reinterpret_cast<const char*>(tone.data()), 4), -1);
}

TEST(OutQmix, OpensOnlyWhatItCanPlay) {
    struct Case {
        const char* device;
        int32_t bits;
        bool opens;
    };
    const Case cases[] = {
        {"null", 16, true},
        {"null", 24, true},
        {"null", 12, false},
        {"kinvo_no_such_device", 16, false},
    };
    LoadedOutput out(KINVO_OUT_QMIX_PATH);
    ASSERT_TRUE(out.loaded());
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.device << ", " << c.bits << " bits");
        setenv("KINVO_ALSA_DEVICE", c.device, 1);
        const int32_t answer = out->open(kRate, kChannels, c.bits, -1, -1);
        EXPECT_EQ(answer >= 0, c.opens) << answer;
        if (answer >= 0) {
            // A second of sound at once, then in pieces as the queue takes them.
            const std::vector<int16_t> tone = sine16(kToneHz, kToneLevel, kRate, kChannels, 1.0);
            playAll(out, tone);
            EXPECT_EQ(out->getWrittenTime(), 1000 * 16 / c.bits);
            EXPECT_EQ(out->getOutputTime(), out->getWrittenTime());
        } else {
            EXPECT_EQ(out->write("abcd", 4), -1);
            EXPECT_EQ(out->canWrite(), 0);
        }
        out->close();
    }
    unsetenv("KINVO_ALSA_DEVICE");
}

}  // namespace
