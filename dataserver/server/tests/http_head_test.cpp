// Request heads as clients send them, well-formed or hostile: where each ends, what it asks
// for, and which bound refuses it.
#include "dataserver/server/http_head.h"

#include <gtest/gtest.h>

namespace kinvo::ds {
namespace {

using State = HeadResult::State;

std::string headers(std::size_t count, std::size_t valueLength = 1) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += "X-" + std::to_string(i) + ": " + std::string(valueLength, 'v') + "\r\n";
    }
    return out;
}

TEST(HttpHead, BoundsAndMalformedHeadsGetTheirStatus) {
    struct Case {
        std::string label;
        std::string received;
        State state;
        int status;
    };
    const std::string get = "GET /a HTTP/1.1\r\n";
    for (const Case& c : std::vector<Case>{
             {"whole", get + "Host: h\r\n\r\n", State::Complete, 0},
             {"bare line feeds", "GET /a HTTP/1.1\nHost: h\n\n", State::Complete, 0},
             {"cut in the headers", get + "Host: h\r\n", State::Incomplete, 0},
             {"cut in the request line", "GET /a HT", State::Incomplete, 0},
             {"100 headers", get + headers(100) + "\r\n", State::Complete, 0},
             {"101 headers", get + headers(101) + "\r\n", State::Refused, 431},
             {"101 headers, no end yet", get + headers(101), State::Refused, 431},
             {"a 17 KB header, no end yet", get + headers(1, 17000), State::Refused, 431},
             {"request line past the bound",
              "GET /" + std::string(kMaxRequestLine, 'a') + " HTTP/1.1\r\n\r\n", State::Refused,
              414},
             {"request line past the bound, no end yet", "GET /" + std::string(9000, 'a'),
              State::Refused, 414},
             // Counted on the raw target: 3 KB of "?" would grow to 9 KB as "%3F".
             {"3 KB of ?", "GET /a" + std::string(3000, '?') + " HTTP/1.1\r\n\r\n", State::Complete,
              0},
             {"two Content-Length, equal", get + "Content-Length: 1\r\nContent-Length: 1\r\n\r\n",
              State::Refused, 400},
             {"two Content-Length, differing",
              get + "Content-Length: 1\r\ncontent-length: 20\r\n\r\n", State::Refused, 400},
             {"Content-Length not a number", get + "Content-Length: 1x\r\n\r\n", State::Refused,
              400},
             {"Content-Length negative", get + "Content-Length: -1\r\n\r\n", State::Refused, 400},
             {"chunked body", get + "Transfer-Encoding: chunked\r\n\r\n", State::Refused, 501},
             {"form body past its bound",
              get +
                  "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 8193\r\n\r\n",
              State::Refused, 413},
             {"other body past its bound", get + "Content-Length: 65537\r\n\r\n", State::Refused,
              413},
             {"blank before the colon", get + "Host : h\r\n\r\n", State::Refused, 400},
             {"folded header", get + "Host: h\r\n  more\r\n\r\n", State::Refused, 400},
             {"no version", "GET /a\r\n\r\n", State::Refused, 400},
             {"endless blank lines", std::string(20000, '\n'), State::Refused, 400},
             {"HTTP/2.0", "GET /a HTTP/2.0\r\n\r\n", State::Refused, 505},
         }) {
        HeadResult r = readHead(c.received);
        EXPECT_EQ(r.state, c.state) << c.label;
        EXPECT_EQ(r.status, c.status) << c.label;
    }
}

TEST(HttpHead, PipelinedRequestsEachGetTheQuestionMarkRewrite) {
    const std::string first = "GET /k?U=http://h/a.asp?id=7 HTTP/1.1\r\nHost: h\r\n\r\n";
    const std::string second =
        "\r\nPOST /f?a=1?b HTTP/1.0\r\nConnection: keep-alive\r\nContent-Length: 3\r\n\r\nx=1";
    std::string received = first + second;
    HeadResult a = readHead(received);
    ASSERT_EQ(a.state, State::Complete);
    EXPECT_EQ(a.headBytes, first.size());
    EXPECT_EQ(a.head.target, "/k?U=http://h/a.asp%3Fid=7");
    EXPECT_TRUE(a.head.keepAlive);

    HeadResult b = readHead(std::string_view(received).substr(a.headBytes));
    ASSERT_EQ(b.state, State::Complete);
    EXPECT_EQ(b.head.method, "POST");
    EXPECT_EQ(b.head.target, "/f?a=1%3Fb");
    EXPECT_EQ(b.head.contentLength, 3u);
    EXPECT_EQ(b.headBytes, second.size() - 3);
    EXPECT_TRUE(b.head.keepAlive);  // HTTP/1.0 asking for it

    EXPECT_FALSE(readHead("GET / HTTP/1.0\r\n\r\n").head.keepAlive);
    EXPECT_FALSE(readHead("GET / HTTP/1.1\r\nConnection: close\r\n\r\n").head.keepAlive);
    EXPECT_TRUE(readHead("POST / HTTP/1.1\r\nExpect: 100-continue\r\n\r\n").head.expectsContinue);
}

}  // namespace
}  // namespace kinvo::ds
