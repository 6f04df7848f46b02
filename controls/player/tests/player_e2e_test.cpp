// Each player component library as the browser loads it, playing a clip through a real vexahost
// into a window of the test's own, its tone on a private sound server: the states and positions
// the host hears, pause and resume, the picture's window inside the element's window, the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "controls/abi/component.h"
#include "controls/tests/fixture/component_fixture.h"
#include "lib/pulse/tests/fixture/monitor_recording.h"
#include "lib/pulse/tests/fixture/sound_server.h"
#include "lib/pulse/tests/fixture/tone.h"

namespace {

namespace t = kinvo::controls::testing;
namespace pt = kinvo::pulse::testing;
using namespace std::chrono_literals;
using kinvo::component::MediaPlayer;
using kinvo::component::PlayerState;
using CreatePlayer = MediaPlayer* (*)(const char*, std::uint32_t);

class Events final : public kinvo::component::PlayerEvents {
  public:
    void PlayerStateChanged(PlayerState state, std::int32_t detail) noexcept override {
        std::lock_guard lock(lock_);
        states_.push_back(state);
        lastDetail_ = detail;
        changed_.notify_all();
    }
    void PlayerPosition(std::int32_t positionMs, std::int32_t lengthMs) noexcept override {
        std::lock_guard lock(lock_);
        lengths_.push_back(lengthMs);
        positions_.push_back(positionMs);
        changed_.notify_all();
    }
    // Waits for `state` to be reported after the first `after` reports.
    bool waitState(PlayerState state, size_t& after, std::chrono::milliseconds timeout) {
        std::unique_lock lock(lock_);
        return changed_.wait_for(lock, timeout, [&] {
            for (size_t i = after; i < states_.size(); ++i) {
                if (states_[i] == state) {
                    after = i + 1;
                    return true;
                }
            }
            return false;
        });
    }
    bool waitPosition(std::chrono::milliseconds timeout) {
        std::unique_lock lock(lock_);
        return changed_.wait_for(lock, timeout, [&] { return !positions_.empty(); });
    }
    std::vector<std::int32_t> lengths() {
        std::lock_guard lock(lock_);
        return lengths_;
    }
    std::int32_t lastDetail() {
        std::lock_guard lock(lock_);
        return lastDetail_;
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<PlayerState> states_;                // lock_
    std::vector<std::int32_t> positions_, lengths_;  // lock_
    std::int32_t lastDetail_ = 0;                    // lock_
};

class PlayerEndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { vexa::test::isolateProcess(); }
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "no X display";
        }
        if (!sound_.started()) {
            GTEST_SKIP() << "no sound server: " << sound_.failure();
        }
    }
    static pt::SoundServer sound_;
};
pt::SoundServer PlayerEndToEnd::sound_;

TEST_F(PlayerEndToEnd, EachKindPlaysAClipIntoItsWindowAndTheToneIsHeard) {
    struct Kind {
        const char* stem;
        const char* classId;
        const char* addressParam;
    };
    const Kind kinds[] = {
        {"quicktime", "02BF25D5-8C17-4B23-BC80-D3488ABDDC6B", "src"},
        {"media_player", "22D6F312-B0F6-11D0-94AB-0080C74C7E95", "FileName"},
        {"real_player", "CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA", "SRC"},
    };
    const std::string clip = t::makeClip("clip.mp4", 4);
    ASSERT_FALSE(clip.empty()) << "the ffmpeg tool could not make the clip";
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.stem);
        vexa::test::ProgramFolder folder;
        folder.add(t::builtPlugin("in_av.so"), "Plugins/in_av.so");
        folder.add(t::builtPlugin("out_qsnd.so"), "Plugins/out_qsnd.so");
        auto create = reinterpret_cast<CreatePlayer>(
            t::loadSymbol(t::installComponent(folder.dir(), t::builtComponent(kind.stem)),
                          "KinvoCreateMediaPlayer"));
        ASSERT_NE(create, nullptr);
        t::Canvas canvas;
        ASSERT_TRUE(canvas.ok());
        Events events;
        pt::MonitorRecording recording(sound_);
        MediaPlayer* player = create(kind.classId, kinvo::component::kAbiVersion);
        ASSERT_NE(player, nullptr);
        player->SetEvents(&events);
        player->SetParam(kind.addressParam, clip.c_str());
        player->SetWindow(canvas.window());
        player->Start();

        size_t seen = 0;
        ASSERT_TRUE(events.waitState(PlayerState::kPlaying, seen, 15s)) << events.lastDetail();
        ASSERT_TRUE(events.waitPosition(5s));
        EXPECT_EQ(events.lengths().front(), 4000);
        EXPECT_GT(canvas.children(), 0) << "the picture's window is not in the element's";
        player->Pause();
        EXPECT_TRUE(events.waitState(PlayerState::kPaused, seen, 5s));
        player->Play();
        EXPECT_TRUE(events.waitState(PlayerState::kPlaying, seen, 5s));
        EXPECT_TRUE(events.waitState(PlayerState::kStopped, seen, 15s)) << "the clip did not end";

        const auto tone = pt::measureTone(recording.stop(), pt::MonitorRecording::kChannels, 0,
                                          pt::MonitorRecording::kRate);
        ASSERT_TRUE(tone.has_value()) << "no tone reached the sink";
        EXPECT_NEAR(tone->hz, 440.0, 10.0);
        EXPECT_GT(tone->seconds, 3.0);
        player->Release();
        EXPECT_TRUE(t::waitGone(folder.dir() / "vexahost", 2500ms));
    }
}

}  // namespace

namespace {

class ControlSink final : public kinvo::component::PlaybackEvents {
  public:
    void SonariMsgEvent(std::int32_t code) noexcept override {
        std::lock_guard lock(lock_);
        codes_.push_back(code);
        changed_.notify_all();
    }
    void SonariStatus(std::int32_t, std::int32_t) noexcept override {}
    void SonariMetaData(const char*, std::int32_t) noexcept override {}
    bool waitFor(std::int32_t code, std::chrono::milliseconds timeout) {
        std::unique_lock lock(lock_);
        return changed_.wait_for(lock, timeout, [&] {
            return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
        });
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::int32_t> codes_;  // lock_
};

// A player page with a player object beside the playback control: both libraries in one
// process, both sessions hear their servers.
TEST_F(PlayerEndToEnd, APlayerAndTheControlInOneProcessBothHearTheirServers) {
    const std::string clip = t::makeClip("clip.mp4", 4);
    ASSERT_FALSE(clip.empty());
    vexa::test::ProgramFolder folder;
    folder.add(t::builtPlugin("in_av.so"), "Plugins/in_av.so");
    folder.add(t::builtPlugin("out_qsnd.so"), "Plugins/out_qsnd.so");
    auto createPlayer = reinterpret_cast<CreatePlayer>(
        t::loadSymbol(t::installComponent(folder.dir(), t::builtComponent("media_player")),
                      "KinvoCreateMediaPlayer"));
    using CreateControl = kinvo::component::PlaybackControl* (*)(std::uint32_t);
    auto createControl = reinterpret_cast<CreateControl>(
        t::loadSymbol(t::installComponent(folder.dir(), t::builtComponent("playback_control")),
                      "KinvoCreatePlaybackControl"));
    ASSERT_TRUE(createPlayer != nullptr && createControl != nullptr);

    // One player plays, the control comes up, then a second player plays: each later session
    // must still reach its own library.
    const auto play = [&](Events& events) {
        MediaPlayer* player =
            createPlayer("22d6f312-b0f6-11d0-94ab-0080c74c7e95", kinvo::component::kAbiVersion);
        if (player != nullptr) {
            player->SetEvents(&events);
            player->SetParam("FileName", clip.c_str());
            player->Start();
            size_t seen = 0;
            EXPECT_TRUE(events.waitState(PlayerState::kPlaying, seen, 15s)) << events.lastDetail();
        }
        return player;
    };
    Events first;
    MediaPlayer* playing = play(first);
    ASSERT_NE(playing, nullptr);
    ControlSink sink;
    kinvo::component::PlaybackControl* control = createControl(kinvo::component::kAbiVersion);
    ASSERT_NE(control, nullptr);
    control->setCallback(&sink);
    EXPECT_TRUE(sink.waitFor(kinvo::component::kEventWindowReady, 15s));
    Events second;
    MediaPlayer* next = play(second);
    ASSERT_NE(next, nullptr);
    control->Release();
    playing->Release();
    next->Release();
    EXPECT_TRUE(t::waitGone(folder.dir() / "vexahost", 2500ms));
}

}  // namespace
