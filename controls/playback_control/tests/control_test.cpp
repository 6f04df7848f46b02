// The playback control library as the browser loads it, driving a real vexahost: the page's
// calls arrive as the server's commands in the page's order, event 8 comes once the server is
// ready, the video window goes into the page's window, events reach the sink and stop at
// Deinitialize, the server goes; without a server the sink hears 102 and nothing blocks; a
// failing address is retried, then the next address tried, as many times as the page said.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "controls/abi/component.h"
#include "controls/tests/fixture/component_fixture.h"

namespace {

namespace fs = std::filesystem;
namespace t = kinvo::controls::testing;
using namespace std::chrono_literals;
using kinvo::component::PlaybackControl;
using Clock = std::chrono::steady_clock;

using CreateControl = PlaybackControl* (*)(std::uint32_t);

class Sink final : public kinvo::component::PlaybackEvents {
  public:
    void SonariMsgEvent(std::int32_t code) noexcept override {
        std::lock_guard lock(lock_);
        events_.push_back(code);
        changed_.notify_all();
    }
    void SonariStatus(std::int32_t, std::int32_t) noexcept override {}
    void SonariMetaData(const char*, std::int32_t) noexcept override {}

    bool waitFor(std::int32_t code, int times, std::chrono::milliseconds timeout) {
        std::unique_lock lock(lock_);
        return changed_.wait_for(lock, timeout, [&] { return countLocked(code) >= times; });
    }
    int count(std::int32_t code) {
        std::lock_guard lock(lock_);
        return countLocked(code);
    }
    size_t size() {
        std::lock_guard lock(lock_);
        return events_.size();
    }

  private:
    int countLocked(std::int32_t code) const {
        return static_cast<int>(std::count(events_.begin(), events_.end(), code));
    }
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::int32_t> events_;  // lock_
};

int countOf(const std::vector<int>& numbers, int n) {
    return static_cast<int>(std::count(numbers.begin(), numbers.end(), n));
}

class ControlTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        vexa::test::isolateProcess();
        ::setenv("VEXA_DEBUG", "1", 1);
    }

    // A program folder with vexahost, in_av, the disk writer as the sound output and the
    // control library; the control made from there.
    PlaybackControl* makeControl() {
        folder_.emplace();
        folder_->add(t::builtPlugin("in_av.so"), "Plugins/in_av.so");
        folder_->add(t::builtPlugin("out_qpcm.so"), "Plugins/out_qsnd.so");
        ::setenv("KINVO_PCM_DIR", folder_->dir().c_str(), 1);
        auto create = reinterpret_cast<CreateControl>(t::loadSymbol(
            t::installComponent(folder_->dir(), t::builtComponent("playback_control")),
            "KinvoCreatePlaybackControl"));
        return create != nullptr ? create(kinvo::component::kAbiVersion) : nullptr;
    }

    std::optional<vexa::test::ProgramFolder> folder_;
    Sink sink_;
};

TEST_F(ControlTest, PageCallsBecomeCommandsInOrderAndTheVideoGoesIntoThePageWindow) {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    const std::string clip = t::makeClip("clip.mp4", 4);
    ASSERT_FALSE(clip.empty()) << "the ffmpeg tool could not make the clip";
    t::Canvas canvas;
    ASSERT_TRUE(canvas.ok());
    std::vector<int> commands;
    {
        t::StderrCapture trace;
        PlaybackControl* control = makeControl();
        ASSERT_NE(control, nullptr);
        const fs::path server = folder_->dir() / "vexahost";
        // The page's order.
        control->setCallback(&sink_);
        control->SetCrossInstanceControl(1);
        control->SetVideoAutoSize(0);
        control->SetVideoLogo(0);
        control->SetRetryParams(5, 2000);
        control->SetFallbackParams(2, 300);
        control->SetUseCustomDRMURL(1);
        control->AppendFileToPlaylist(clip.c_str());
        control->setRepeat(1);
        control->Play();
        ASSERT_TRUE(sink_.waitFor(kinvo::component::kEventWindowReady, 1, 15s));
        control->SetVideoHWND(canvas.window());
        control->Play();
        EXPECT_TRUE(sink_.waitFor(4, 2, 15s)) << "playback did not start twice";
        bool child = false;
        for (auto until = Clock::now() + 10s; !child && Clock::now() < until;
             std::this_thread::sleep_for(20ms)) {
            child = canvas.children() > 0;
        }
        EXPECT_TRUE(child) << "the server's video window is not a child of the page's window";
        ASSERT_EQ(t::processesOf(server).size(), 1u);

        control->Deinitialize();
        const size_t heard = sink_.size();
        EXPECT_TRUE(t::waitGone(server, 2500ms)) << "vexahost still runs";
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(sink_.size(), heard) << "an event came after Deinitialize";
        control->Release();
        commands = trace.commands();
    }
    // The client's commands (the plug-ins ask the server window too, below 700).
    std::erase_if(commands, [](int n) { return n < 700; });
    const std::vector<int> pageOrder = {740, 738, 764, 765, 700, 717, 701, 737, 701};
    EXPECT_EQ(commands, pageOrder);
}

TEST_F(ControlTest, ReleaseNeverWaitsForTheServer) {
    // No vexahost in the program folder: 102, and Release returns at once.
    char pattern[] = "/tmp/kinvo-no-server-XXXXXX";
    const fs::path empty = ::mkdtemp(pattern);
    auto create = reinterpret_cast<CreateControl>(
        t::loadSymbol(t::installComponent(empty, t::builtComponent("playback_control")),
                      "KinvoCreatePlaybackControl"));
    ASSERT_NE(create, nullptr);
    PlaybackControl* lone = create(kinvo::component::kAbiVersion);
    ASSERT_NE(lone, nullptr);
    lone->setCallback(&sink_);
    lone->Play();
    EXPECT_TRUE(sink_.waitFor(102, 1, 11s));
    auto before = Clock::now();
    lone->Release();
    EXPECT_LT(Clock::now() - before, 1s);
    fs::remove_all(empty);
    EXPECT_EQ(create(kinvo::component::kAbiVersion + 1), nullptr);

    // Released while vexahost is still starting: back at once, and the server goes.
    PlaybackControl* starting = makeControl();
    ASSERT_NE(starting, nullptr);
    before = Clock::now();
    starting->Release();
    EXPECT_LT(Clock::now() - before, 1s);
    // It ends at its next liveness tick (every 2 s), slower under a sanitizer on a loaded machine.
    EXPECT_TRUE(t::waitGone(folder_->dir() / "vexahost", 6s));
}

TEST_F(ControlTest, AFailingAddressIsRetriedThenTheNextAddressTried) {
    struct Case {
        int retries, fallbacks;
    };
    for (const Case c : {Case{2, 0}, Case{1, 2}, Case{0, 1}}) {
        SCOPED_TRACE(std::to_string(c.retries) + " retries, " + std::to_string(c.fallbacks) +
                     " fallbacks");
        Sink sink;
        std::vector<int> commands;
        {
            t::StderrCapture trace;
            PlaybackControl* control = makeControl();
            ASSERT_NE(control, nullptr);
            // A file in_av cannot read: every start fails with 102.
            const fs::path bad = folder_->dir() / "broken.mp3";
            std::ofstream(bad) << "not a sound file";
            control->setCallback(&sink);
            control->SetRetryParams(c.retries, 30);
            control->SetFallbackParams(c.fallbacks, 30);
            control->AppendFileToPlaylist(bad.c_str());
            control->Play();
            const int starts = (c.retries + 1) * (c.fallbacks + 1);
            EXPECT_TRUE(sink.waitFor(102, starts, 15s)) << sink.count(102);
            std::this_thread::sleep_for(500ms);  // nothing more follows
            EXPECT_EQ(sink.count(102), starts);
            control->Release();
            // It ends at its next liveness tick (every 2 s), slower under a sanitizer on a loaded
            // machine.
            EXPECT_TRUE(t::waitGone(folder_->dir() / "vexahost", 6s));
            commands = trace.commands();
        }
        EXPECT_EQ(countOf(commands, 701), (c.retries + 1) * (c.fallbacks + 1));
        EXPECT_EQ(countOf(commands, 712), c.fallbacks);
    }
}

}  // namespace
