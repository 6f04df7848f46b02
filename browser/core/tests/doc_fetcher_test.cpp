#include "browser/core/doc_fetcher.h"
#include "browser/core/tests/fixture/http_fixture.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace kinvo {
namespace {

using namespace std::chrono_literals;
using testing::Answer;
using testing::HttpFixture;

TEST(GetDoc, LeavesTheBodyOrNothingInDocumentText) {
    HttpFixture fixture;
    fixture.answer("/doc", "line one\nline two\0with nul");
    fixture.answer("/bytes", std::string("\xff\x00\x80|", 4));
    fixture.answer("/empty", "");
    fixture.answer("/error", Answer{"<html>server error</html>", 500});
    struct Case {
        std::string target, body;
    };
    const Case cases[] = {
        {"/doc", "line one\nline two"},  // the literal's NUL ends the fixture's text
        {"/bytes", std::string("\xff\x00\x80|", 4)},
        {"/empty", ""},
        {"/error", ""},
        {"/missing", ""},  // 404
    };
    ProgramState state;
    DocFetcher fetcher(state);
    for (const Case& c : cases) {
        state.documentText = "stale";
        fetcher.GetDoc(fixture.url(c.target));
        EXPECT_EQ(state.documentText, c.body) << c.target;
        EXPECT_FALSE(fetcher.stillExecuting());
    }
}

TEST(GetDoc, UnreachableOrSlowServersBringNothing) {
    ProgramState state;
    DocFetcher fetcher(state);
    int closedPort = 0;
    {
        HttpFixture gone;
        closedPort = gone.port();
    }
    state.documentText = "stale";
    fetcher.GetDoc("http://127.0.0.1:" + std::to_string(closedPort) + "/x");
    EXPECT_EQ(state.documentText, "");
    fetcher.GetDoc("not an address");
    EXPECT_EQ(state.documentText, "");

    HttpFixture fixture;
    fixture.answer("/slow", Answer{"late", 200, 1000ms});
    fetcher.setTimeout(200ms);
    fetcher.GetDoc(fixture.url("/slow"));
    EXPECT_EQ(state.documentText, "");
}

TEST(GetDoc, KeepsEventsRunningWhileItWaits) {
    HttpFixture fixture;
    fixture.answer("/slow", Answer{"body", 200, 300ms});
    ProgramState state;
    DocFetcher fetcher(state);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    fetcher.GetDoc(fixture.url("/slow"));
    EXPECT_EQ(state.documentText, "body");
    EXPECT_GE(ticks, 5);
}

TEST(GetDoc, ANestedFetchCancelsTheOuterOne) {
    HttpFixture fixture;
    fixture.answer("/outer", Answer{"outer body", 200, 1000ms});
    fixture.answer("/inner", "inner body");
    ProgramState state;
    DocFetcher fetcher(state);
    std::string innerSaw;
    // A window handler runs while the outer fetch waits, and fetches itself.
    QTimer::singleShot(100, [&] {
        EXPECT_TRUE(fetcher.stillExecuting());
        fetcher.GetDoc(fixture.url("/inner"));
        innerSaw = state.documentText;
    });
    const auto start = std::chrono::steady_clock::now();
    fetcher.GetDoc(fixture.url("/outer"));
    EXPECT_EQ(innerSaw, "inner body");
    // The outer caller finds what the nested one left, without waiting for its own answer.
    EXPECT_EQ(state.documentText, "inner body");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);
    EXPECT_FALSE(fetcher.stillExecuting());
}

TEST(GetDoc, ConnectToKeepsAddressAndHostHeader) {
    HttpFixture fixture;
    fixture.answer("/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9", "News|");
    ProgramState state;
    state.dataServer = "catalogue.example";
    DocFetcher fetcher(state);
    fetcher.setConnectTo(ConnectTarget{"127.0.0.1", static_cast<quint16>(fixture.port()), {}});
    fetcher.GetDoc("http://catalogue.example/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9");
    EXPECT_EQ(state.documentText, "News|");
    fetcher.GetDoc("http://CATALOGUE.example:8080/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9");
    EXPECT_EQ(state.documentText, "News|");
    const auto requests = fixture.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9");
    EXPECT_EQ(requests[0].host, "catalogue.example");
    EXPECT_EQ(requests[1].host, "catalogue.example:8080");

    // Only data-server requests are connected elsewhere.
    fetcher.GetDoc("http://127.0.0.1:1/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9");
    EXPECT_EQ(state.documentText, "");
    EXPECT_EQ(fixture.requests().size(), 2u);
    // A target meant for one server name leaves others alone.
    fetcher.setConnectTo(
        ConnectTarget{"127.0.0.1", static_cast<quint16>(fixture.port()), "elsewhere.example"});
    fetcher.GetDoc("http://catalogue.example/kinvo39.asp?P=T&T1=CLASS_TV&V=3.9");
    EXPECT_EQ(state.documentText, "");
}

// Size and time bounds: each case either brings its body or fails (documentText empty) well
// before anything else would have ended it.
TEST(GetDoc, BoundsTheSizeAndTheTotalTime) {
    constexpr std::int64_t kLimit = 4 * 1024 * 1024;
    // Four times the limit, packed into a few kilobytes: taken as the bytes that came, never
    // unpacked past the bound.
    const QByteArray packed = qCompress(QByteArray(4 * kLimit, 'x')).mid(4);
    struct Case {
        const char* target;
        Answer answer;
        std::chrono::milliseconds total;
        std::size_t size;  // of the document that arrives; 0 for a failed fetch
    };
    const Case cases[] = {
        {"/at-limit", Answer{std::string(kLimit, 'x')}, 20s, std::size_t(kLimit)},
        {"/packed", Answer{.body = packed.toStdString(), .encoding = "deflate"}, 20s,
         std::size_t(packed.size())},
        // Content-Length says too much: failed from the header, without waiting for the body.
        {"/declared",
         Answer{.streamBytes = kLimit + 1,
                .pieceBytes = 16,
                .pieceDelay = 60s,
                .declaredLength = kLimit + 1},
         20s, 0},
        // No length: stops as the bytes pass the limit.
        {"/chunked", Answer{.streamBytes = 32 * kLimit}, 20s, 0},
        // A byte every 100 ms never lets the inactivity limit run out; the total limit does.
        {"/drip", Answer{.streamBytes = 1000, .pieceBytes = 1, .pieceDelay = 100ms}, 500ms, 0},
    };
    HttpFixture fixture;
    ProgramState state;
    DocFetcher fetcher(state);
    fetcher.setSizeLimit(kLimit);
    fetcher.setTimeout(20s);
    for (const Case& c : cases) {
        fixture.answer(c.target, c.answer);
        fetcher.setTotalLimit(c.total);
        const std::int64_t streamedBefore = fixture.streamedBytes();
        const auto start = std::chrono::steady_clock::now();
        fetcher.GetDoc(fixture.url(c.target));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << c.target;
        EXPECT_EQ(state.documentText.size(), c.size) << c.target;
        // Nothing is read past the limit: the server could hand over little more than the limit
        // and what the sockets hold.
        EXPECT_LT(fixture.streamedBytes() - streamedBefore, 8 * kLimit) << c.target;
    }
}

// At most five redirects, each a request of its own: the connect-to rule and the data server's
// Host header follow a hop only while it stays on the data server.
TEST(GetDoc, FollowsFewRedirectsAndKeepsTheDataServerToItself) {
    HttpFixture server;
    HttpFixture other;
    for (int i = 1; i <= 6; ++i) {
        const std::string next = i == 6 ? "/end" : "/r" + std::to_string(i + 1);
        // Relative and absolute forms both stay on the data server.
        server.answer("/r" + std::to_string(i),
                      Answer{.status = 302,
                             .location = i % 2 == 0 ? "http://catalogue.example" + next : next});
    }
    server.answer("/end", "end body");
    server.answer("/away", Answer{.status = 301, .location = other.url("/doc")});
    other.answer("/doc", "other body");

    ProgramState state;
    state.dataServer = "catalogue.example";
    DocFetcher fetcher(state);
    fetcher.setConnectTo(ConnectTarget{"127.0.0.1", static_cast<quint16>(server.port()), {}});
    struct Case {
        const char* target;
        std::string body;
        int requests;  // reaching the data server
    };
    const Case cases[] = {
        {"/r2", "end body", 6},  // five redirects
        {"/r1", "", 6},          // six: the sixth is not followed
        {"/away", "other body", 1},
    };
    for (const Case& c : cases) {
        server.clearRequests();
        fetcher.GetDoc(std::string("http://catalogue.example") + c.target);
        EXPECT_EQ(state.documentText, c.body) << c.target;
        const auto requests = server.requests();
        EXPECT_EQ(static_cast<int>(requests.size()), c.requests) << c.target;
        for (const auto& request : requests) {
            EXPECT_EQ(request.host, "catalogue.example") << request.target;
        }
    }
    const auto away = other.requests();
    ASSERT_EQ(away.size(), 1u);
    EXPECT_EQ(away[0].host, "127.0.0.1:" + std::to_string(other.port()));
}

TEST(ConnectTarget, Parse) {
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"127.0.0.1:8639", true, "127.0.0.1", 8639},
        {"localhost:80", true, "localhost", 80},
        {"[::1]:9000", true, "::1", 9000},
        {"host", false, "", 0},
        {":80", false, "", 0},
        {"host:", false, "", 0},
        {"host:0", false, "", 0},
        {"host:70000", false, "", 0},
        {"host:80x", false, "", 0},
        {"::1:80", false, "", 0},
    };
    for (const Case& c : cases) {
        const auto target = ConnectTarget::parse(c.text);
        ASSERT_EQ(target.has_value(), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(target->host.toStdString(), c.host);
            EXPECT_EQ(target->port, c.port);
        }
    }
}

}  // namespace
}  // namespace kinvo
