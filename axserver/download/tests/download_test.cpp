// The download routine against a loopback HTTP server and local files: the statuses in their
// order, the answer and what becomes of the destination, for each kind of address; and the way
// plug-ins reach it (command 240 and the entry).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "axserver/download/download_entry.h"
#include "axserver/download/download_module.h"
#include "axserver/download/tests/loopback_server.h"
#include "axserver/download/tests/recording_link.h"
#include "channel/protocol.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using testing::LoopbackServer;
using testing::RecordingLink;
using testing::Status;

constexpr const char* kOlder = "an older file";
constexpr const char* kNoFile = "<no file>";

// Larger than a block, so the body comes in several.
std::string patternBody(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        body[i] = static_cast<char>('a' + i % 23);
    }
    return body;
}
const std::string kBody = patternBody(10000);
// Larger than the write-behind buffer, so it reaches the file in several writes.
const std::string kLargeBody = patternBody(300000);

void addRoutes(httplib::Server& server) {
    struct Canned {
        const char* path;
        int status;
        const std::string& body;
    };
    static const std::string kNotFound = "Not Found";
    static const std::string kNothing;
    for (const Canned& canned :
         {Canned{"/ok", 200, kBody}, Canned{"/large", 200, kLargeBody},
          Canned{"/missing", 404, kNotFound}, Canned{"/failing", 500, kNothing},
          Canned{"/empty", 200, kNothing}}) {
        server.Get(canned.path, [canned](const httplib::Request&, httplib::Response& res) {
            res.status = canned.status;
            res.set_content(canned.body, "application/octet-stream");
        });
    }
    server.Get("/moved",
               [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/ok"); });
    server.Get("/loop",
               [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
    server.Get("/agent", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_header_value("User-Agent"), "text/plain");
    });
    // Three pieces with pauses between them.
    server.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
            if (offset >= kBody.size()) {
                sink.done();
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            const size_t piece = std::min<size_t>(4000, kBody.size() - offset);
            return sink.write(kBody.data() + offset, piece);
        });
    });
    // Announces the whole body, sends 5000 bytes, then drops the connection.
    server.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(kBody.size(), "text/plain",
                                 [](size_t offset, size_t, httplib::DataSink& sink) {
                                     return offset == 0 && sink.write(kBody.data(), 5000);
                                 });
    });
}

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return kNoFile;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

class Download : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The loopback server is reached directly whatever proxy the environment names.
        setenv("no_proxy", "127.0.0.1", 1);
    }
    void SetUp() override {
        char pattern[] = "/tmp/vexa-download-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        writeFile(dir / "source.txt", kBody);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
    LoopbackServer server{addRoutes};
    RecordingLink link;
};

std::vector<Status> statuses(std::initializer_list<int32_t> codes, win::LPARAM value202 = 0) {
    std::vector<Status> out;
    for (int32_t code : codes) {
        out.emplace_back(code, code == 202 ? value202 : 0);
    }
    return out;
}

struct Case {
    const char* name;
    std::function<std::string(const LoopbackServer&, const fs::path& dir)> address;
    std::vector<Status> statuses;
    int32_t answer;
    // Of the destination, which holds kOlder before; nullopt: not looked at.
    std::optional<std::string> content;
    // Relative to the test's folder; the default holds kOlder before.
    const char* destination = "out.m3u";
};

TEST_F(Download, RaisesItsStatusesAndReplacesTheDestinationOnlyOnceTheStatusIs200) {
    auto http = [](const char* path) {
        return [path](const LoopbackServer& s, const fs::path&) { return s.url(path); };
    };
    auto fixed = [](const char* address) {
        return [address](const LoopbackServer&, const fs::path&) { return std::string(address); };
    };
    const std::vector<Case> cases = {
        {"body", http("/ok"), statuses({200, 201, 203, 204}), 0, kBody},
        {"empty body", http("/empty"), statuses({200, 201, 203, 204}), 0, ""},
        {"redirect", http("/moved"), statuses({200, 201, 203, 204}), 0, kBody},
        {"slow body", http("/slow"), statuses({200, 201, 203, 204}), 0, kBody},
        {"user agent", http("/agent"), statuses({200, 201, 203, 204}), 0,
         "SonAri WinInet Download"},
        {"404", http("/missing"), statuses({200, 201, 202}, 404), 1, kOlder},
        {"500 without body", http("/failing"), statuses({200, 201, 202}, 500), 1, kOlder},
        {"redirect loop", http("/loop"), statuses({200, 201, 202}, 302), 1, kOlder},
        {"broken body", http("/broken"), statuses({200, 201, 203}), 1, kBody.substr(0, 5000)},
        {"nothing listening", fixed("http://127.0.0.1:1/x"), statuses({200, 201, 206}), 1, kOlder},
        {"local file",
         [](const LoopbackServer&, const fs::path& d) {
             return "file://" + (d / "source.txt").string();
         },
         statuses({200, 201, 203, 204}), 0, kBody},
        {"missing local file",
         [](const LoopbackServer&, const fs::path& d) {
             return "file://" + (d / "none.txt").string();
         },
         statuses({200, 201, 206}), 1, kOlder},
        {"no scheme", fixed("source.txt"), statuses({200, 201, 206}), 1, kOlder},
        {"scheme not taken", fixed("dict://127.0.0.1:1/x"), statuses({200, 201, 206}), 1, kOlder},
        {"large body", http("/large"), statuses({200, 201, 203, 204}), 0, kLargeBody},
        {"destination cannot be created", http("/ok"), statuses({200, 201, 203, 205}), 1, kNoFile,
         "no-folder/out.m3u"},
        {"write fails", http("/large"), statuses({200, 201, 203}), 1, std::nullopt, "/dev/full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadModule module(link);
        link.clear();
        const fs::path destination = dir / c.destination;
        if (c.destination == std::string("out.m3u")) {
            writeFile(destination, kOlder);
        }
        EXPECT_EQ(module.download(c.address(server, dir), destination.string()), c.answer);
        EXPECT_EQ(link.statuses(), c.statuses);
        if (c.content) {
            EXPECT_EQ(contentOf(destination), *c.content);
        }
    }
}

class FakeCall final : public CommandCall {
  public:
    const CommandInfo& info() const override { return *findCommand(CMD_GET_DOWNLOADER); }
    win::WPARAM wParam() const override { return 0; }
    std::optional<Values> readArgs() override { return Values{}; }
    bool writeResults(const Values&) override { return false; }
};

win::LRESULT runCommand(ServerModule& module, int32_t number) {
    for (const CommandHandler& row : module.commands()) {
        if (row.number == number) {
            FakeCall call;
            return row.run(module, call);
        }
    }
    return -1;
}

TEST_F(Download, Command240AnswersTheEntryThatReachesTheModuleWhileItLives) {
    const fs::path destination = dir / "out.m3u";
    const std::string address = server.url("/ok");
    DownloadEntry entry = nullptr;
    {
        DownloadModule module(link);
        const win::LRESULT answer = runCommand(module, CMD_GET_DOWNLOADER);
        ASSERT_NE(answer, 0);
        entry = reinterpret_cast<DownloadEntry>(answer);
        EXPECT_EQ(entry, downloadEntry());

        EXPECT_EQ(entry(0, address.c_str(), destination.c_str(), "title"), 0);
        EXPECT_EQ(contentOf(destination), kBody);
        EXPECT_EQ(link.statuses(), statuses({200, 201, 203, 204}));

        link.clear();
        EXPECT_EQ(entry(0, nullptr, destination.c_str(), nullptr), 1);
        EXPECT_EQ(entry(0, address.c_str(), nullptr, nullptr), 1);
        EXPECT_THAT(link.statuses(), ::testing::IsEmpty());
    }
    EXPECT_EQ(entry(0, address.c_str(), destination.c_str(), "title"), 1);
    EXPECT_THAT(link.statuses(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace vexa
