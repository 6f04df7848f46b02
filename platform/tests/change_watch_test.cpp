// Change notifications on a real folder.
#include "platform/change_watch.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace win {
namespace {

namespace fs = std::filesystem;
using Kind = ChangeEvent::Kind;

class ChangeWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "watchtestXXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        auto w = ChangeWatch::create();
        ASSERT_TRUE(w);
        watch_.emplace(std::move(*w));
        std::ofstream(dir_ / "song.mp3") << "old";
        ASSERT_TRUE(watch_->addFolder(dir_.string()));
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Events until one of `kind` arrives (generous limit; events come within milliseconds).
    std::vector<ChangeEvent> eventsUntil(Kind kind) {
        std::vector<ChangeEvent> all;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd fd{watch_->descriptor(), POLLIN, 0};
            ::poll(&fd, 1, 1000);
            for (ChangeEvent& e : watch_->readEvents()) {
                all.push_back(e);
            }
            for (const ChangeEvent& e : all) {
                if (e.kind == kind) {
                    return all;
                }
            }
        }
        return all;
    }

    fs::path dir_;
    std::optional<ChangeWatch> watch_;
};

TEST_F(ChangeWatchTest, ModifyingAFileIsAnItemChange) {
    {
        std::ofstream out(dir_ / "song.mp3", std::ios::app);
        for (int i = 0; i < 100; ++i) {
            out << "more" << std::flush;
        }
    }
    const auto events = eventsUntil(Kind::ItemChanged);
    const ChangeEvent expected{Kind::ItemChanged, (dir_ / "song.mp3").string(), {}};
    EXPECT_EQ(std::count(events.begin(), events.end(), expected), 1) << "one per burst";
    EXPECT_TRUE(watch_->readEvents().empty());
}

TEST_F(ChangeWatchTest, RenamingGivesTheNewPath) {
    fs::rename(dir_ / "song.mp3", dir_ / "renamed.mp3");
    const auto events = eventsUntil(Kind::ItemRenamed);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (ChangeEvent{Kind::ItemRenamed, (dir_ / "song.mp3").string(),
                                          (dir_ / "renamed.mp3").string()}));
    // One rename is one event: no folder change besides it.
    for (const ChangeEvent& e : events) {
        EXPECT_NE(e.kind, Kind::FolderChanged);
    }
}

TEST_F(ChangeWatchTest, CreatingDeletingAndMovingOutChangeTheFolder) {
    const ChangeEvent folder{Kind::FolderChanged, dir_.string(), {}};
    auto has = [](const std::vector<ChangeEvent>& events, const ChangeEvent& event) {
        return std::find(events.begin(), events.end(), event) != events.end();
    };
    std::ofstream(dir_ / "new.mp3") << "x";
    EXPECT_TRUE(has(eventsUntil(Kind::FolderChanged), folder));
    watch_->readEvents();
    fs::remove(dir_ / "new.mp3");
    EXPECT_TRUE(has(eventsUntil(Kind::FolderChanged), folder));

    std::string outside = (fs::temp_directory_path() / "watchoutXXXXXX").string();
    ::close(::mkstemp(outside.data()));
    fs::rename(dir_ / "song.mp3", outside);
    EXPECT_TRUE(has(eventsUntil(Kind::FolderChanged), folder));
    std::remove(outside.c_str());

    EXPECT_TRUE(watch_->removeFolder(dir_.string()));
    std::ofstream(dir_ / "unwatched.mp3") << "x";
    pollfd fd{watch_->descriptor(), POLLIN, 0};
    ::poll(&fd, 1, 100);
    for (const ChangeEvent& e : watch_->readEvents()) {
        EXPECT_NE(e.path, dir_.string()) << "event after removal";
    }
    EXPECT_FALSE(watch_->addFolder((dir_ / "missing").string()));
}

}  // namespace
}  // namespace win
