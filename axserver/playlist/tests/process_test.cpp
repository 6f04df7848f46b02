// The playlist inside a real vexahost, driven through libvexaclient: a temporary program folder
// with a copy of the program and the minimal test plug-in (it takes ".xyz" files and names them
// "Minimal: <file>", 61.5 s long).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "axserver/tests/plugins/fixture/program_folder.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/tests/program_folder.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr auto kGenerous = 20s;

// One server with its client; the server ends with the client window, cleanly.
class Server {
  public:
    explicit Server(const testing::ProgramFolder& folder) {
        client.setEventHandler([this](const ClientEvent& e) {
            const char* kind = e.kind == ClientEvent::Kind::kEvent ? "event " : "status ";
            events.push_back(kind + std::to_string(e.code) + " " + std::to_string(e.value));
        });
        started = client.start(folder.path() + "/vexahost", kGenerous);
    }
    ~Server() {
        if (client.serverProcess() != nullptr) {
            client.closeWindow();
            std::optional<int> code = client.serverProcess()->wait(kGenerous);
            EXPECT_EQ(code, std::optional<int>(0));
        }
    }

    uint32_t append(const std::string& name) {
        return client.call(CMD_APPEND, {Value::s(name)}).status;
    }
    // "file|title|length" of every entry, through 721 and 722.
    std::vector<std::string> list() {
        std::vector<std::string> out;
        const int32_t n = client.call(CMD_GET_COUNT).number(0);
        for (int32_t i = 0; i < n; ++i) {
            Reply r = client.call(CMD_GET_ENTRY, {Value::l(i)});
            out.push_back(r.text(0) + "|" + r.text(1) + "|" + std::to_string(r.number(2)));
        }
        return out;
    }
    std::vector<std::string> takeEvents() { return std::exchange(events, {}); }

    VexaClient client;
    bool started = false;
    std::vector<std::string> events;  // the client's thread only
};

class PlaylistProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        test::isolateProcess();
        folder.copyIn(VEXAHOST_PATH, "vexahost");
        folder.addPlugin("in_minimal", "in_minimal.so");
    }
    testing::ProgramFolder folder;
};

TEST_F(PlaylistProcess, EditingCommandsAndTheirEvents) {
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    VexaClient& c = server.client;
    EXPECT_EQ(server.append("  /music/b_side.xyz "), kStatusOk);
    EXPECT_EQ(server.append("http://198.51.100.9/live"), kStatusOk);
    EXPECT_EQ(server.append("/music/A.xyz"), kStatusOk);
    EXPECT_THAT(server.list(), ElementsAre("/music/b_side.xyz|Minimal: /music/b side.xyz|61",
                                           "http://198.51.100.9/live|http://198.51.100.9/live|-1",
                                           "/music/A.xyz|Minimal: /music/A.xyz|61"));
    EXPECT_EQ(c.call(CMD_GET_ENTRY, {Value::l(3)}).status, kStatusOutOfRange);

    EXPECT_EQ(c.call(CMD_SET_CURRENT, {Value::l(1)}).status, kStatusOk);
    Reply current = c.call(CMD_GET_CURRENT_ENTRY);
    EXPECT_EQ(current.text(0), "http://198.51.100.9/live");
    EXPECT_EQ(current.text(1), "2. http://198.51.100.9/live");
    EXPECT_EQ(c.call(CMD_IS_NETWORK_ENTRY).number(0), 0);  // nothing plays
    EXPECT_EQ(c.call(CMD_SWAP_ENTRIES, {Value::l(1), Value::l(2)}).status, kStatusOk);
    EXPECT_EQ(c.call(CMD_GET_CURRENT).number(0), 2);
    EXPECT_EQ(c.call(CMD_SORT_BY_TITLE).status, kStatusOk);
    EXPECT_EQ(c.call(CMD_GET_CURRENT).number(0), 0);  // "http..." sorts first and stays current
    EXPECT_EQ(c.call(CMD_DELETE_ENTRY, {Value::l(2)}).status, kStatusOk);
    EXPECT_THAT(server.list(), ElementsAre("http://198.51.100.9/live|http://198.51.100.9/live|-1",
                                           "/music/A.xyz|Minimal: /music/A.xyz|61"));
    EXPECT_EQ(c.call(CMD_GET_ENTRY_DETAILS, {Value::l(1)}).status, kStatusOk);
    EXPECT_EQ(c.call(CMD_GET_ENTRY_DETAILS, {Value::l(2)}).status, kStatusOutOfRange);
    EXPECT_EQ(c.call(CMD_CLEAR).status, kStatusOk);
    EXPECT_EQ(c.call(CMD_GET_COUNT).number(0), 0);
    // 710, 725 and 723 each raise event 2; 724 and 709 raise none.
    EXPECT_THAT(server.takeEvents(), ElementsAre("event 2 0", "event 2 0", "event 2 0"));
}

TEST_F(PlaylistProcess, RandomiseGivesTheSameOrderInEveryFreshProcess) {
    std::vector<std::vector<std::string>> orders;
    for (int run = 0; run < 2; ++run) {
        Server server(folder);
        ASSERT_TRUE(server.started) << server.client.lastError();
        for (int i = 0; i < 8; ++i) {
            server.append("/m/" + std::to_string(i) + ".xyz");
        }
        EXPECT_EQ(server.client.call(CMD_RANDOMIZE).status, kStatusOk);
        orders.push_back(server.list());
        EXPECT_THAT(server.takeEvents(), ElementsAre("event 2 0"));
    }
    EXPECT_EQ(orders[0], orders[1]);
    std::vector<std::string> sorted = orders[0];
    std::sort(sorted.begin(), sorted.end());
    EXPECT_NE(orders[0], sorted);
}

TEST_F(PlaylistProcess, PlaylistFilesAndPseudoAddresses) {
    folder.writeFile("a.xyz", "x");
    folder.writeFile("good.m3u", "#EXTM3U\r\n#EXTINF:5,Five\r\na.xyz\r\nmissing.xyz\r\n");
    folder.writeFile("none.m3u", "missing.xyz\n");
    folder.writeFile("v2.pls",
                     "[playlist]\nNumberOfEntries=2000000000\nFile1=a.xyz\nTitle1=T\nVersion=2\n");
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    VexaClient& c = server.client;
    const std::string lists = folder.path() + "/";
    EXPECT_EQ(c.call(CMD_LOAD_M3U, {Value::s(lists + "good.m3u")}).status, kStatusOk);
    EXPECT_EQ(c.call(CMD_LOAD_M3U, {Value::s(lists + "none.m3u")}).status, kStatusFailed);
    EXPECT_EQ(c.call(CMD_LOAD_PLS, {Value::s(lists + "v2.pls")}).status, kStatusOk);
    EXPECT_EQ(server.append(lists + "none.m3u"), kStatusOk);  // 700 answers 0 regardless
    EXPECT_THAT(server.list(), ElementsAre(lists + "a.xyz|Five|5", lists + "a.xyz|T|-1"));
    EXPECT_THAT(server.takeEvents(), ElementsAre("event 105 0", "event 105 0"));

    // The folders of local entries are watched: a change of an entry's file reaches the client.
    folder.writeFile("a.xyz", "changed");
    ASSERT_TRUE(c.waitFor(
        [&] {
            return std::find(server.events.begin(), server.events.end(), "event 240 -1") !=
                   server.events.end();
        },
        kGenerous));
    EXPECT_EQ(server.takeEvents().front(), "event 112 0");

    EXPECT_EQ(c.call(CMD_GET_SELECT_LIMIT).number(0), -1);
    EXPECT_EQ(c.call(CMD_GET_SELECTED_VALUE).number(0), -1);
    server.append("select://300,'/m/hi.xyz',56,'/m/lo.xyz'");
    EXPECT_EQ(c.call(CMD_GET_SELECTED_VALUE).number(0), 300);
    EXPECT_EQ(c.call(CMD_SET_SELECT_LIMIT, {Value::l(100)}).status, kStatusOk);
    EXPECT_EQ(c.call(CMD_GET_SELECT_LIMIT).number(0), 100);
    server.append("select://300,'/m/hi.xyz',56,'/m/lo.xyz'");
    EXPECT_EQ(c.call(CMD_GET_SELECTED_VALUE).number(0), -1);
    EXPECT_EQ(c.call(CMD_GET_ENTRY, {Value::l(3)}).text(1), "Minimal: /m/lo.xyz");
    server.append("range://10;20");
    server.append("select://1,'unterminated");
    // The write above may still be reported again (its truncation and its data are two
    // changes), so only the statuses are compared here.
    auto statuses = [&] {
        std::vector<std::string> found;
        std::copy_if(server.events.begin(), server.events.end(), std::back_inserter(found),
                     [](const std::string& e) { return e.starts_with("status"); });
        return found;
    };
    ASSERT_TRUE(c.waitFor([&] { return statuses().size() >= 2; }, kGenerous));
    EXPECT_THAT(statuses(), ElementsAre("status 221 101", "status 221 203"));
}

}  // namespace
}  // namespace vexa
