// Playback inside a real vexahost, driven through libvexaclient: a temporary program folder with
// a copy of the program and the configurable test plug-in, which takes ".tst" names, answers
// play with the code its configuration gives each name and logs every call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr auto kGenerous = 20s;
const std::string kA = "http://h/a.tst";
const std::string kB = "http://h/b.tst";
const std::string kC = "http://h/c.tst";

// One server with its client; the server ends with the client window, cleanly.
class Server {
  public:
    explicit Server(const testing::ProgramFolder& folder) {
        client.setEventHandler([this](const ClientEvent& e) {
            if (e.kind == ClientEvent::Kind::kEvent) {
                events.push_back(e.code);
            } else if (e.kind == ClientEvent::Kind::kStatus) {
                statuses.push_back(e.code);
            }
        });
        started = client.start(folder.path() + "/vexahost", kGenerous);
    }
    ~Server() {
        if (client.serverProcess() != nullptr) {
            client.closeWindow();
            // Events the server was sending when the window went are answered while we wait.
            client.waitFor([this] { return !client.serverRunning(); }, kGenerous);
            EXPECT_EQ(client.serverProcess()->wait(kGenerous), std::optional<int>(0));
        }
    }

    void append(std::initializer_list<std::string> names) {
        for (const auto& name : names) {
            EXPECT_EQ(client.call(CMD_APPEND, {Value::s(name)}).status, kStatusOk);
        }
    }
    uint32_t run(int32_t command) { return client.call(command).status; }
    int32_t ask(int32_t command) { return client.call(command).number(0); }
    uint32_t set(int32_t command, int32_t value) {
        return client.call(command, {Value::l(value)}).status;
    }
    // Waits until `count` events of `code` arrived.
    bool waitFor(int32_t code, size_t count = 1) {
        return client.waitFor(
            [&] {
                return static_cast<size_t>(std::count(events.begin(), events.end(), code)) >= count;
            },
            kGenerous);
    }
    // Lets posted messages arrive, then answers the events since the last call.
    std::vector<int32_t> settle() {
        client.pump(200ms);
        client.call(CMD_GET_STATE);
        return std::exchange(events, {});
    }

    VexaClient client;
    bool started = false;
    std::vector<int32_t> events;  // codes, the client's thread only
    std::vector<int32_t> statuses;
};

class PlaybackProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        test::isolateProcess();
        folder.copyIn(VEXAHOST_PATH, "vexahost");
    }
    void usePlugin(std::vector<std::string> config) {
        config.push_back("types=tst|Test files");
        folder.addPlugin("in_test", "in_test.so", config);
    }
    // The plug-in's calls that begin with one of the words.
    std::vector<std::string> calls(std::initializer_list<std::string> words) const {
        std::vector<std::string> out;
        for (const auto& line : folder.pluginLog("in_test.so")) {
            for (const auto& word : words) {
                if (line.rfind(word, 0) == 0) {
                    out.push_back(line.substr(0, line.find(" flags=")));
                }
            }
        }
        return out;
    }
    testing::ProgramFolder folder;
};

struct StartCodeCase {
    int32_t code;
    std::vector<int32_t> events;  // after play, until the server is quiet
    int32_t stateAfter;           // b plays after an advance; nothing after a stop
};

TEST_F(PlaybackProcess, EveryStartCodeRaisesItsEventsThenAdvancesOrStops) {
    const StartCodeCase cases[] = {
        {1, {108, 2, 4, 1}, 1},         {2, {2, 4, 1}, 1},       {-100, {108, 102, 2, 4, 1}, 1},
        {-200, {102, 102, 2, 4, 1}, 1}, {-202, {102}, 0},        {-400, {107, 102, 2, 4, 1}, 1},
        {-500, {109, 102, 2, 4, 1}, 1}, {-31337, {100, 102}, 0}, {-1, {102, 2, 4, 1}, 1},
        {77, {102, 2, 4, 1}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        usePlugin({"playcode=" + kA + "|" + std::to_string(c.code)});
        Server server(folder);
        ASSERT_TRUE(server.started) << server.client.lastError();
        server.append({kA, kB});
        EXPECT_EQ(server.run(CMD_PLAY), kStatusOk);
        EXPECT_EQ(server.settle(), c.events);
        EXPECT_EQ(server.ask(CMD_GET_STATE), c.stateAfter);
        EXPECT_EQ(server.ask(CMD_GET_CURRENT), c.stateAfter == 1 ? 1 : 0);
    }
}

TEST_F(PlaybackProcess, NothingToPlayAndAMissingLocalFileDoNotAdvance) {
    usePlugin({});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    server.run(CMD_PLAY);
    EXPECT_THAT(server.settle(), ElementsAre(kEventNothingToPlay));

    folder.writeFile("there.tst", "x");
    server.append({folder.path() + "/missing.tst", folder.path() + "/there.tst"});
    server.settle();
    server.run(CMD_PLAY);
    EXPECT_THAT(server.settle(), ElementsAre(kEventCannotOpen, kEventTrackEndHandled));
    EXPECT_EQ(server.ask(CMD_GET_STATE), 0);
    EXPECT_EQ(server.ask(CMD_GET_CURRENT), 0);
    EXPECT_THAT(calls({"play"}), IsEmpty());
}

TEST_F(PlaybackProcess, PauseResumesTheSameEntryButPlayStartsAnotherCurrentEntry) {
    usePlugin({});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    server.append({kA, kB});
    server.run(CMD_PLAY);
    server.run(CMD_PAUSE_TOGGLE);
    EXPECT_EQ(server.ask(CMD_GET_STATE), 2);
    server.run(CMD_PLAY);  // the same entry: only resumes
    EXPECT_EQ(server.ask(CMD_GET_STATE), 1);
    server.run(CMD_PAUSE_TOGGLE);
    server.set(CMD_SET_CURRENT, 1);
    server.run(CMD_PLAY);  // another entry: starts it
    EXPECT_EQ(server.ask(CMD_GET_STATE), 1);
    EXPECT_THAT(server.settle(), ElementsAre(4, 2, 4));
    EXPECT_THAT(calls({"play", "pause", "unpause", "stop"}),
                ElementsAre("play " + kA, "pause", "unpause", "pause", "stop", "play " + kB));
}

TEST_F(PlaybackProcess, LengthIsRoundedToWholeSecondsButNeverBelowOne) {
    const std::pair<int32_t, int32_t> cases[] = {{500, 1}, {-1, -1}, {61500, 61}, {0, 1}};
    for (const auto& [ms, seconds] : cases) {
        usePlugin({"length=" + std::to_string(ms)});
        Server server(folder);
        ASSERT_TRUE(server.started) << server.client.lastError();
        EXPECT_EQ(server.ask(CMD_GET_LENGTH), -1);  // no plug-in chosen yet
        server.append({kA});
        server.run(CMD_PLAY);
        EXPECT_EQ(server.ask(CMD_GET_LENGTH), seconds) << ms << " ms";
        server.run(CMD_STOP);
        EXPECT_EQ(server.ask(CMD_GET_LENGTH), seconds) << "the stopped plug-in still answers";
    }
}

TEST_F(PlaybackProcess, PositionSeekAndVolumeReachThePlugIn) {
    usePlugin({});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    EXPECT_EQ(server.ask(CMD_GET_VOLUME), 200);
    server.append({kA, kB});
    server.run(CMD_PLAY);
    server.set(CMD_SEEK, 7);
    EXPECT_EQ(server.ask(CMD_GET_POSITION), 7);
    server.set(CMD_SEEK, 3000000);  // beyond what milliseconds hold: the farthest position
    server.set(CMD_SET_VOLUME, 300);
    EXPECT_EQ(server.ask(CMD_GET_VOLUME), 44);
    server.run(CMD_NEXT);
    server.run(CMD_STOP);
    EXPECT_EQ(server.ask(CMD_GET_POSITION), 0);
    EXPECT_THAT(
        calls({"play", "setVolume", "setOutputTime"}),
        ElementsAre("setVolume 200", "play " + kA, "setOutputTime 7000", "setOutputTime 2147483647",
                    "setVolume 300", "setVolume 44", "play " + kB));
}

TEST_F(PlaybackProcess, APlaylistPlaysThroughAndRepeatWrapsAround) {
    usePlugin({"do=sleep 30", "do=trackend"});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    server.append({kA, kB, kC});
    server.settle();
    server.run(CMD_PLAY);
    ASSERT_TRUE(server.waitFor(kEventTrackEndHandled, 3));
    EXPECT_THAT(server.settle(), ElementsAre(4, 2, 4, 1, 2, 4, 1, 1));
    EXPECT_EQ(server.ask(CMD_GET_STATE), 0);
    EXPECT_EQ(server.ask(CMD_GET_CURRENT), 2);

    server.set(CMD_SET_REPEAT, 1);
    server.run(CMD_PLAY);
    ASSERT_TRUE(server.waitFor(kEventTrackEndHandled, 2));
    server.set(CMD_SET_REPEAT, 0);  // the round ends with the last entry
    ASSERT_TRUE(server.client.waitFor([&] { return server.ask(CMD_GET_STATE) == 0; }, kGenerous));
    std::vector<std::string> played = calls({"play"});
    ASSERT_GE(played.size(), 6u);
    EXPECT_THAT(std::vector<std::string>(played.begin(), played.begin() + 6),
                ElementsAre("play " + kA, "play " + kB, "play " + kC, "play " + kC, "play " + kA,
                            "play " + kB));
}

TEST_F(PlaybackProcess, NextAndPreviousStopAtTheEdgesUnlessRepeated) {
    usePlugin({});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    server.append({kA, kB, kC});
    server.set(CMD_SET_CURRENT, 2);
    server.settle();
    server.run(CMD_NEXT);
    EXPECT_EQ(server.ask(CMD_GET_CURRENT), 2);
    server.set(CMD_SET_CURRENT, 0);
    server.settle();
    EXPECT_EQ(server.run(CMD_PREVIOUS), kStatusOk);
    EXPECT_EQ(server.ask(CMD_GET_CURRENT), 0);
    EXPECT_THAT(server.settle(), IsEmpty());

    server.set(CMD_SET_REPEAT, 1);
    server.run(CMD_PREVIOUS);
    EXPECT_EQ(server.ask(CMD_GET_CURRENT), 2);
    server.run(CMD_NEXT);
    EXPECT_EQ(server.ask(CMD_GET_CURRENT), 0);
    EXPECT_THAT(server.settle(), ElementsAre(2, 2));
    EXPECT_THAT(calls({"play"}), IsEmpty());  // nothing played, so nothing starts
}

TEST_F(PlaybackProcess, TheShuffledOrderIsTheSameInEveryFreshProcess) {
    usePlugin({});
    std::vector<std::vector<int32_t>> orders;
    for (int run = 0; run < 2; ++run) {
        Server server(folder);
        ASSERT_TRUE(server.started) << server.client.lastError();
        for (int i = 0; i < 6; ++i) {
            server.append({"http://h/" + std::to_string(i) + ".tst"});
        }
        server.set(CMD_SET_SHUFFLE, 1);
        EXPECT_EQ(server.ask(CMD_GET_SHUFFLE), 1);
        std::vector<int32_t> order;
        for (int i = 0; i < 6; ++i) {
            server.run(CMD_NEXT);
            order.push_back(server.ask(CMD_GET_CURRENT));
        }
        std::vector<int32_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_THAT(sorted, ElementsAre(0, 1, 2, 3, 4, 5)) << "a permutation";
        EXPECT_EQ(server.run(CMD_PREVIOUS), kStatusOk);
        orders.push_back(order);
    }
    EXPECT_EQ(orders[0], orders[1]);
}

TEST_F(PlaybackProcess, ShuffleWithOneEntryRestartsIt) {
    usePlugin({});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    server.append({kA});
    server.set(CMD_SET_SHUFFLE, 1);
    server.run(CMD_PLAY);
    server.run(CMD_NEXT);
    EXPECT_EQ(server.ask(CMD_GET_CURRENT), 0);
    EXPECT_EQ(server.ask(CMD_GET_STATE), 1);
    EXPECT_THAT(calls({"play", "stop"}), ElementsAre("play " + kA, "stop", "play " + kA));
    EXPECT_EQ(server.client.call(CMD_PREVIOUS).status, 1u) << "back past the first place";
}

TEST_F(PlaybackProcess, BufferingStatusesShowInStateAndBufferStatus) {
    usePlugin({"do=status 208 0", "do=status 223 40", "do=event 900", "do=sleep 300",
               "do=status 214 0", "do=event 901"});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    EXPECT_EQ(server.ask(CMD_GET_BUFFER_STATUS), 255);
    server.append({kA});
    server.run(CMD_PLAY);
    ASSERT_TRUE(server.waitFor(900));
    EXPECT_EQ(server.ask(CMD_GET_STATE), 3);
    EXPECT_EQ(server.ask(CMD_GET_BUFFER_STATUS), 40);
    EXPECT_EQ(server.ask(CMD_IS_NETWORK_ENTRY), 1);
    ASSERT_TRUE(server.waitFor(901));
    EXPECT_EQ(server.ask(CMD_GET_STATE), 1);
    EXPECT_EQ(server.ask(CMD_GET_BUFFER_STATUS), 255);
}

TEST_F(PlaybackProcess, ARepeatedPlaylistOfFailuresStopsAfterOneRound) {
    usePlugin({"play=-1"});
    Server server(folder);
    ASSERT_TRUE(server.started) << server.client.lastError();
    server.append({kA, kB});
    server.set(CMD_SET_REPEAT, 1);
    server.settle();
    server.run(CMD_PLAY);
    EXPECT_THAT(server.settle(), ElementsAre(102, 2, 102, 1));
    EXPECT_EQ(server.ask(CMD_GET_STATE), 0);
}

TEST_F(PlaybackProcess, PlayingInOneInstanceStopsTheOthersWhenAllowed) {
    usePlugin({});
    Server first(folder);
    Server second(folder);
    ASSERT_TRUE(first.started && second.started);
    for (Server* s : {&first, &second}) {
        s->append({kA});
        s->set(CMD_SET_CROSS_INSTANCE, 1);
    }
    first.run(CMD_PLAY);
    second.run(CMD_PLAY);
    EXPECT_EQ(first.ask(CMD_GET_STATE), 0);
    EXPECT_EQ(second.ask(CMD_GET_STATE), 1);
}

}  // namespace
}  // namespace vexa
