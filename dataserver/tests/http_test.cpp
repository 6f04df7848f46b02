// The data server's HTTP layer under clients that curl would never be: ranges checked against
// curl's own, pipelined and hostile heads over raw sockets, and clients that stall.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

#include "dataserver/tests/catalogue_fixture.h"
#include "dataserver/tests/raw_client.h"

namespace kinvo::ds::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool contains(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

class Http : public CatalogueFixture {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_.path() / "media");
        for (int i = 0; i < 100000; ++i) {
            clip_ += static_cast<char>(i * 7 % 251);
        }
        dir_.write("media/clip.mov", clip_);
        CatalogueFixture::SetUp();
    }
    std::vector<std::string> serverOptions() const override {
        return {"--quiet", "--threads", "2", "--media", (dir_.path() / "media").string()};
    }
    std::string clip_;
};

TEST_F(Http, RangesAsCurlAsksForThem) {
    struct Case {
        std::string range;  // curl -r
        int status;
        std::size_t first;
        std::size_t length;
        std::string contentRange;
    };
    for (const Case& c : std::vector<Case>{
             {"0-999999999", 206, 0, 100000, "bytes 0-99999/100000"},
             {"1000-1999", 206, 1000, 1000, "bytes 1000-1999/100000"},
             {"99000-", 206, 99000, 1000, "bytes 99000-99999/100000"},
             {"-5", 206, 99995, 5, "bytes 99995-99999/100000"},
             {"10-19,5-6", 206, 5, 15, "bytes 5-19/100000"},        // coalesced
             {"100-,0-1", 206, 0, 100000, "bytes 0-99999/100000"},  // coalesced
             {"200000-", 416, 0, 0, "bytes */100000"},
             {"200000-300000,400000-", 416, 0, 0, "bytes */100000"},
         }) {
        HttpAnswer a = get("/media/clip.mov", {"-r", c.range});
        EXPECT_EQ(a.status, c.status) << c.range;
        EXPECT_TRUE(a.body == clip_.substr(c.first, c.length))  // not printed: 100 KB
            << c.range << ": " << a.body.size() << " bytes";
        EXPECT_TRUE(contains(a.headers, "Content-Length: " + std::to_string(c.length) + "\r\n"))
            << c.range << "\n"
            << a.headers;
        EXPECT_TRUE(contains(a.headers, "Content-Range: " + c.contentRange + "\r\n"))
            << c.range << "\n"
            << a.headers;
    }
}

TEST_F(Http, EveryAnswerOnAKeptAliveConnectionIsWellFramed) {
    // Each range answer is followed, on the same connection, by a request whose answer must
    // start exactly where the range answer ended.
    const std::string next = "GET /redirect35.asp HTTP/1.1\r\nHost: t\r\n\r\n";
    RawClient client(server_->port());
    ASSERT_TRUE(client.connected());
    for (const std::string range : {"bytes=0-999999999", "bytes=100-,0-1", "bytes=-5",
                                    "bytes=500000-", "bytes=5-2", "bytes=0-0,-1"}) {
        ASSERT_TRUE(client.send("GET /media/clip.mov HTTP/1.1\r\nHost: t\r\nRange: " + range +
                                "\r\n\r\n" + next));
        auto media = client.answer();
        ASSERT_TRUE(media) << range;
        EXPECT_TRUE(media->status() == 206 || media->status() == 416 || media->status() == 200)
            << range << "\n"
            << media->head;
        auto after = client.answer();
        ASSERT_TRUE(after) << range;
        EXPECT_EQ(after->status(), 200) << range << "\n" << after->head;
        EXPECT_EQ(after->body, "127.0.0.1") << range;
    }
}

TEST_F(Http, RequestsBeforeTheClientsHalfCloseAreAnswered) {
    RawClient client(server_->port());
    ASSERT_TRUE(client.send("GET /redirect35.asp HTTP/1.0\r\n\r\n"));
    client.finish();
    auto a = client.answer(10s);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->status(), 200);
    EXPECT_EQ(a->header("Connection"), "close");
    EXPECT_TRUE(client.closedWithin(5s));
}

TEST_F(Http, ClientsLeavingMidFileCostOnlyTheirConnections) {
    // Far larger than the socket buffers, so that the server is still sending when each
    // client closes.
    dir_.write("media/big.mov", std::string(std::size_t{24} << 20, 'b'));
    for (int i = 0; i < 48; ++i) {
        RawClient leaver(server_->port());
        ASSERT_TRUE(leaver.send("GET /media/big.mov HTTP/1.1\r\nHost: t\r\n\r\n"));
        ASSERT_TRUE(leaver.skip(std::size_t{1} << (16 + i % 6)));
        leaver.reset();  // while the server is still sending
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(get("/redirect35.asp").status, 200);
}

TEST_F(Http, HostileHeadsAreRefusedAndOddOnesServed) {
    struct Case {
        std::string label;
        std::string bytes;
        std::vector<int> statuses;  // of the answers, in order
    };
    std::string manyHeaders = "GET /redirect35.asp HTTP/1.1\r\n";
    for (int i = 0; i < 200; ++i) {
        manyHeaders += "X-" + std::to_string(i) + ": v\r\n";
    }
    const std::string redirect = "GET /redirect35.asp HTTP/1.1\r\nHost: t\r\n\r\n";
    const std::string list =
        "GET /kinvo39.asp?STATS=1&U=http://media.example/q.asp?id=7 "
        "HTTP/1.1\r\nHost: t\r\n\r\n";
    for (const Case& c : std::vector<Case>{
             {"200 header lines", manyHeaders + "\r\n", {431}},
             {"a 20 KB header",
              "GET / HTTP/1.1\r\nX: " + std::string(20000, 'v') + "\r\n\r\n",
              {431}},
             {"two Content-Length",
              "POST /mailform.htm HTTP/1.1\r\nContent-Length: 3\r\nContent-Length: 30\r\n\r\nx=1",
              {400}},
             {"a chunked body",
              "POST /mailform.htm HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n",
              {501}},
             {"pipelined targets with a second ?", list + list + redirect, {200, 200, 200}},
             {"3 KB of ?",
              "GET /redirect35.asp" + std::string(3000, '?') + " HTTP/1.1\r\n\r\n",
              {200}},
             {"a request line over 8 KB",
              "GET /" + std::string(9000, 'a') + " HTTP/1.1\r\n\r\n" + redirect,
              {414}},
             {"an unknown method", "BREW /pot HTTP/1.1\r\n\r\n" + redirect, {405, 200}},
         }) {
        RawClient client(server_->port());
        ASSERT_TRUE(client.connected());
        client.send(c.bytes);
        for (int status : c.statuses) {
            auto a = client.answer();
            ASSERT_TRUE(a) << c.label;
            EXPECT_EQ(a->status(), status) << c.label << "\n" << a->head;
        }
        if (c.statuses.back() >= 400 && c.statuses.back() != 405) {
            EXPECT_TRUE(client.closedWithin(5s)) << c.label;  // nothing after a refusal
        }
    }
}

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST_F(Http, AFloodOfHeaderLinesLeavesMemoryFlat) {
    // 40 MB of header lines on each of four connections: the server refuses each after its
    // first 100 lines and throws the rest away unread.
    get("/redirect35.asp");
    long before = residentKb(server_->pid());
    std::string chunk;
    for (int i = 0; i < 10000; ++i) {
        chunk += "X-Flood-" + std::to_string(i) + ": " + std::string(80, 'f') + "\r\n";
    }
    for (int c = 0; c < 4; ++c) {
        RawClient flood(server_->port());
        ASSERT_TRUE(flood.send("GET /redirect35.asp HTTP/1.1\r\n"));
        for (std::size_t sent = 0; sent < (40u << 20) && flood.send(chunk); sent += chunk.size()) {
        }
    }
    long after = residentKb(server_->pid());
    EXPECT_EQ(get("/redirect35.asp").status, 200);
    ASSERT_GT(before, 0);
    EXPECT_LT(after - before, 8 * 1024) << before << " kB before, " << after << " kB after";
}

TEST_F(Http, StalledClientsNeitherHoldTheWorkersNorStayForever) {
    // Eight silent connections and eight that stop inside their head, against two workers.
    std::vector<std::unique_ptr<RawClient>> stalled;
    for (int i = 0; i < 16; ++i) {
        stalled.push_back(std::make_unique<RawClient>(server_->port()));
        ASSERT_TRUE(stalled.back()->connected());
        if (i % 2 == 1) {
            ASSERT_TRUE(stalled.back()->send("GET /redirect35.asp HTTP/1.1\r\nHo"));
        }
    }
    std::this_thread::sleep_for(200ms);
    auto asked = Clock::now();
    HttpAnswer a = get("/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9", {"--max-time", "20"});
    EXPECT_EQ(a.status, 200);
    // A bound on being served at all while the stalled clients wait (the head timeout is 10 s),
    // generous for sanitizers; not a measure of speed.
    EXPECT_LT(Clock::now() - asked, 5s);

    // A client that sends one byte of its head every half second is cut off after the head
    // timeout, counted from its first byte; the silent ones after the same time.
    RawClient dribbler(server_->port());
    auto start = Clock::now();
    const std::string head = "GET /redirect35.asp HTTP/1.1\r\nX-Slow: " + std::string(100, 's');
    bool cut = false;
    for (std::size_t i = 0; i < head.size() && !cut; ++i) {
        cut = !dribbler.send(head.substr(i, 1)) || dribbler.closedWithin(500ms);
    }
    auto lasted = Clock::now() - start;
    EXPECT_TRUE(cut);
    EXPECT_GT(lasted, 9s);
    EXPECT_LT(lasted, 15s);
    EXPECT_TRUE(stalled.front()->closedWithin(1s));
    EXPECT_TRUE(stalled.back()->closedWithin(1s));
}

TEST(LoadTool, HelpPrintsUsageAndRunsNothing) {
    Finished f = run({KINVO_DATASERVER_LOAD, "--help"});
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_TRUE(contains(f.out, "usage: dataserver_load")) << f.out;
    EXPECT_EQ(run({KINVO_DATASERVER_LOAD, "--connections"}).status, 2);
}

}  // namespace
}  // namespace kinvo::ds::test
