// The download across threads: one download at a time in the process, and a module that goes
// while a plug-in thread downloads through the entry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "axserver/download/download_entry.h"
#include "axserver/download/download_module.h"
#include "axserver/download/tests/loopback_server.h"
#include "axserver/download/tests/recording_link.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using testing::LoopbackServer;
using testing::RecordingLink;
using testing::Status;

// "/held" sends a first piece, then holds the rest back until released (or 20 s have passed).
class HeldServer {
  public:
    HeldServer()
        : server_([this](httplib::Server& s) {
              s.Get("/held", [this](const httplib::Request&, httplib::Response& res) {
                  res.set_chunked_content_provider(
                      "text/plain", [this](size_t offset, httplib::DataSink& sink) {
                          if (offset == 0) {
                              return sink.write("first", 5);
                          }
                          const auto until =
                              std::chrono::steady_clock::now() + std::chrono::seconds(20);
                          while (!released_.load() && std::chrono::steady_clock::now() < until) {
                              std::this_thread::sleep_for(std::chrono::milliseconds(5));
                          }
                          sink.done();
                          return true;
                      });
              });
          }) {}
    ~HeldServer() { release(); }

    void release() { released_.store(true); }
    std::string url() const { return server_.url("/held"); }

  private:
    std::atomic<bool> released_{false};
    LoopbackServer server_;
};

class DownloadThreads : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { setenv("no_proxy", "127.0.0.1", 1); }
    void SetUp() override {
        char pattern[] = "/tmp/vexa-download-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
    HeldServer server;
    RecordingLink link;
};

TEST_F(DownloadThreads, ASecondDownloadWhileOneRunsAnswers1AndRaisesNothing) {
    DownloadModule module(link);
    const std::string first = (dir / "first").string();
    auto running =
        std::async(std::launch::async, [&] { return module.download(server.url(), first); });
    ASSERT_TRUE(link.waitFor(203));
    const std::vector<Status> before = link.statuses();

    EXPECT_EQ(module.download(server.url(), (dir / "second").string()), 1);
    const std::string second = (dir / "third").string();
    EXPECT_EQ(downloadEntry()(0, server.url().c_str(), second.c_str(), ""), 1);
    EXPECT_EQ(link.statuses(), before);
    EXPECT_FALSE(fs::exists(dir / "second"));

    server.release();
    EXPECT_EQ(running.get(), 0);
    EXPECT_EQ(link.statuses().back(), Status(204, 0));
    // The flag is free again.
    link.clear();
    EXPECT_EQ(module.download(server.url(), first), 0);
    EXPECT_EQ(link.statuses().back(), Status(204, 0));
}

TEST_F(DownloadThreads, TheModuleGoingCancelsADownloadThroughTheEntry) {
    auto module = std::make_unique<DownloadModule>(link);
    const std::string destination = (dir / "out").string();
    auto running = std::async(std::launch::async, [&] {
        return downloadEntry()(0, server.url().c_str(), destination.c_str(), "");
    });
    ASSERT_TRUE(link.waitFor(203));

    // Returns once the entry has let go of the module; the entry's thread then ends at once (the
    // server still holds the download back, so only the cancel can end it).
    module.reset();
    EXPECT_EQ(running.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(running.get(), 1);
    EXPECT_NE(link.statuses().back().first, 204);
}

}  // namespace
}  // namespace vexa
