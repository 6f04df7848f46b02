// in_av.so playing network streams from a loopback HTTP server: buffering statuses, a stream that
// drops, an address that refuses, and stop while a connection hangs.
#include <arpa/inet.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "axserver/download/tests/loopback_server.h"
#include "plugins/in_av/tests/media.h"
#include "plugins/in_av/tests/plugin_pair.h"

namespace kinvo::in_av::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr size_t kChunk = 4096;  // about a quarter second of 128 kbit/s

// A listening loopback socket; `accepting` false leaves connections in the backlog unanswered,
// and closing it first makes the port refuse.
class RawPort {
  public:
    RawPort() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(fd_, reinterpret_cast<sockaddr*>(&address), size);
        listen(fd_, 4);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~RawPort() { close(); }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/live"; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

class InAvStream : public ::testing::Test {
  protected:
    void SetUp() override {
        auto set = reinterpret_cast<SonariSetExtendedFileInfoFn>(
            dlsym(pair.inLibrary(), SONARI_SET_EXTENDED_FILE_INFO));
        ASSERT_NE(set, nullptr);
        ASSERT_EQ(set("blah.qrx", "setHttpConfigValues", "4000,1000,1000"), 1);
    }
    // Plays `url`: play must answer at once, whatever the network does.
    void playAtOnce(const std::string& url) {
        const auto start = Clock::now();
        ASSERT_EQ(in.play(url.c_str()), 0);
        EXPECT_LT(Clock::now() - start, 200ms);
    }

    MediaFolder media;
    PluginPair pair{media.path()};
    SonariInModule& in = pair.in();
};

TEST_F(InAvStream, ASlowStreamBuffersThenPlaysToItsEnd) {
    const std::string file =
        media.make("slow.mp3", "-f lavfi -i sine=duration=4 -ac 2 -c:a libmp3lame -b:a 128k");
    const std::string body = readFile(file);
    const size_t expectedFrames = media.referencePcm(file).size() / 4;
    vexa::testing::LoopbackServer server([&body](httplib::Server& http) {
        http.Get("/slow.mp3", [&body](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                body.size(), "audio/mpeg",
                [&body](size_t offset, size_t length, httplib::DataSink& sink) {
                    std::this_thread::sleep_for(20ms);
                    return sink.write(body.data() + offset, std::min(length, kChunk));
                });
        });
    });
    const std::string url = server.url("/slow.mp3");
    playAtOnce(url);
    ASSERT_TRUE(pair.waitForTrackEnds(1, 30s));
    EXPECT_EQ(pair.addresses(), std::vector<std::string>{url});

    const auto statuses = pair.statuses();
    auto first = [&](int code) {
        return std::find_if(statuses.begin(), statuses.end(),
                            [code](const auto& status) { return status.first == code; });
    };
    const auto started = first(208);
    const auto progress = first(223);
    const auto finished = first(214);
    ASSERT_NE(finished, statuses.end());
    EXPECT_LT(started, progress);
    EXPECT_LT(progress, finished);
    EXPECT_EQ(std::count_if(statuses.begin(), statuses.end(),
                            [](const auto& status) { return status.first == 208; }),
              1);
    for (const auto& [code, value] : statuses) {
        if (code == 223) {
            EXPECT_TRUE(value >= 0 && value <= 100 && value % 5 == 0) << value;
        }
    }
    EXPECT_LT(progress->second, 100);
    const size_t frames = pair.lastPcmSize() / 4;
    EXPECT_LE(std::max(frames, expectedFrames) - std::min(frames, expectedFrames), 1152u);
}

TEST_F(InAvStream, AStreamTitleIsSentAsMetadata) {
    const std::string audio = readFile(
        media.make("icy.mp3", "-f lavfi -i sine=duration=3 -ac 2 -c:a libmp3lame -b:a 128k"));
    // ICY framing: after every kMetaInterval bytes of sound, a length byte (in 16s) and the text.
    constexpr size_t kMetaInterval = 8192;
    std::string block = "StreamTitle='Band - Song';";
    block.resize((block.size() + 15) / 16 * 16, '\0');
    std::string body;
    for (size_t at = 0; at < audio.size(); at += kMetaInterval) {
        body += audio.substr(at, kMetaInterval);
        if (at + kMetaInterval < audio.size()) {
            body += static_cast<char>(block.size() / 16) + block;
        }
    }
    vexa::testing::LoopbackServer server([&body](httplib::Server& http) {
        http.Get("/icy", [&body](const httplib::Request&, httplib::Response& response) {
            response.set_header("icy-metaint", std::to_string(kMetaInterval));
            response.set_content(body, "audio/mpeg");
        });
    });
    playAtOnce(server.url("/icy"));
    ASSERT_TRUE(pair.waitForTrackEnds(1, 30s));
    EXPECT_EQ(pair.metadata(), std::vector<std::string>{"Band - Song 0"});
}

TEST_F(InAvStream, AStreamThatStopsEndsTheTrackAfterItsReconnects) {
    const std::string body = readFile(media.make(
        "live.mp3", "-f lavfi -i sine=duration=4 -ac 2 -c:a libmp3lame -b:a 128k -write_xing 0"));
    std::atomic<int> requests{0};
    vexa::testing::LoopbackServer server([&](httplib::Server& http) {
        http.Get("/live", [&](const httplib::Request&, httplib::Response& response) {
            if (requests++ > 0) {
                response.status = 404;
                return;
            }
            // Chunked like a live stream, and it stops half-way.
            response.set_chunked_content_provider(
                "audio/mpeg", [&body](size_t offset, httplib::DataSink& sink) {
                    if (offset >= body.size() / 2) {
                        return false;
                    }
                    std::this_thread::sleep_for(10ms);
                    return sink.write(body.data() + offset, kChunk);
                });
        });
    });
    playAtOnce(server.url("/live"));
    ASSERT_TRUE(pair.waitForTrackEnds(1, 30s));
    EXPECT_GE(requests.load(), 2);  // it tried again
    EXPECT_LE(requests.load(), 10);
    EXPECT_NEAR(pair.lastPcmSize() / 4 / 44100.0, 2.0, 0.5);
}

TEST_F(InAvStream, AnAddressThatRefusesReportsAndEndsTheTrack) {
    RawPort port;
    const std::string url = port.url();
    port.close();
    playAtOnce(url);
    ASSERT_TRUE(pair.waitForTrackEnds(1, 10s));
    const auto statuses = pair.statuses();
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), std::make_pair(206, 0)), statuses.end());
}

// The server window's thread may be joining the decode thread in stop(): the decode thread must
// never wait on it, so the video output is asked for on the thread that plays.
TEST_F(InAvStream, AVideoStreamAsksForTheVideoOutputOnThePlayingThread) {
    const std::string body =
        readFile(media.make("clip.ts",
                            "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -f lavfi -i "
                            "sine=frequency=440:duration=2 -c:v mpeg2video -c:a mp2 -f mpegts"));
    vexa::testing::LoopbackServer server([&body](httplib::Server& http) {
        http.Get("/clip.ts", [&body](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "video/mp2t");
        });
    });
    playAtOnce(server.url("/clip.ts"));
    const auto deadline = Clock::now() + 10s;
    while (pair.videoOpens().empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_FALSE(pair.videoOpens().empty());
    in.stop();
    const std::vector<std::thread::id> asked = pair.videoOutputAskedOn();
    ASSERT_FALSE(asked.empty());
    for (const std::thread::id& thread : asked) {
        EXPECT_EQ(thread, std::this_thread::get_id());
    }
}

TEST_F(InAvStream, StopWhileConnectingReturnsWithinASecond) {
    RawPort silent;  // accepts into its backlog and never answers
    playAtOnce(silent.url());
    std::this_thread::sleep_for(300ms);
    const auto start = Clock::now();
    in.stop();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(pair.trackEnds(), 0);
}

}  // namespace
}  // namespace kinvo::in_av::testing
