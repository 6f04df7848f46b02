// The control channel end to end: real vexahost processes started from a temporary program
// folder, driven through libvexaclient.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/client/vexa_commands.h"
#include "control/tests/program_folder.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/shared_memory.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
namespace cmd = commands;

constexpr auto kGenerous = 20s;  // deadlines for conditions on a loaded machine

// Swap block names are machine-wide: numbers of this process only, so that tests running side
// by side never meet in one block.
int32_t swapNumber(int k) {
    return static_cast<int32_t>(::getpid()) * 10 + k;
}

class ChannelTest : public ::testing::Test {
  protected:
    void SetUp() override { test::isolateProcess(); }

    // A client with a started server; fails the test when the server does not come up.
    std::unique_ptr<VexaClient> startClient() {
        auto client = std::make_unique<VexaClient>();
        EXPECT_TRUE(client->start(folder_.server(), kGenerous)) << client->lastError();
        return client;
    }

    test::ProgramFolder folder_;
};

TEST_F(ChannelTest, ReadyCarriesTheServerWindowAndTheBlockExists) {
    auto client = startClient();
    win::HWND server = client->serverWindow();
    ASSERT_NE(server, 0u);
    EXPECT_TRUE(win::isWindow(server));
    EXPECT_EQ(win::getClassName(server), kServerClassName);
    EXPECT_EQ(win::getWindowProcessId(server), client->serverProcess()->pid());
    EXPECT_EQ(win::getWindowText(server), "");

    const auto blockFile =
        win::SharedMemory::pathFor("Vexa_" + std::to_string(static_cast<int>(server)));
    ASSERT_TRUE(blockFile);
    struct stat st {};
    ASSERT_EQ(::stat(blockFile->c_str(), &st), 0);
    EXPECT_EQ(st.st_size, static_cast<off_t>(kBlockSize));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(client->block()->fill(), kFillEmpty);
}

TEST_F(ChannelTest, ArgumentsMustFillTheBlockExactly) {
    auto client = startClient();
    ControlBlock& block = *client->block();
    auto title = [&] { return cmd::getInstance(*client, 0).text(0); };

    // A fill one byte too large answers 1 and changes nothing.
    ASSERT_TRUE(block.write({Value::s("first")}));
    block.setFill(block.fill() + 1);
    EXPECT_EQ(client->callRaw(CMD_SET_INSTANCE_TITLE, {}, "", false).status, kStatusFailed);
    EXPECT_EQ(block.fill(), kFillEmpty) << "every read leaves fill at -1";
    EXPECT_EQ(title(), "");

    // An "s" whose zero lies outside fill answers 1.
    ASSERT_TRUE(block.write({Value::s("abc")}));
    block.setFill(3);
    EXPECT_EQ(client->callRaw(CMD_SET_INSTANCE_TITLE, {}, "", false).status, kStatusFailed);
    EXPECT_EQ(title(), "");

    // Done properly it works; sent again without rewriting the block it answers 1.
    EXPECT_EQ(cmd::setInstanceTitle(*client, "first").status, kStatusOk);
    EXPECT_EQ(title(), "first");
    ASSERT_TRUE(block.write({Value::l(0)}));
    EXPECT_EQ(client->callRaw(CMD_GET_INSTANCE, {}, "sl", false).status, kStatusOk);
    EXPECT_EQ(client->callRaw(CMD_GET_INSTANCE, {}, "sl", false).status, kStatusFailed);
    EXPECT_EQ(client->callRaw(CMD_SET_CROSS_INSTANCE, {}, "", false).status, kStatusFailed);

    // A type string that does not match answers 1 (an "l" where an "s" belongs, and the reverse).
    EXPECT_EQ(client->callRaw(CMD_SET_INSTANCE_TITLE, {Value::l(7)}, "").status, kStatusFailed);
    EXPECT_EQ(client->callRaw(CMD_GET_INSTANCE, {Value::s("x")}, "sl").status, kStatusFailed);
    EXPECT_EQ(title(), "first");
}

TEST_F(ChannelTest, TextsOverTheirLimitAreRefusedWithoutEffect) {
    auto client = startClient();
    EXPECT_EQ(cmd::setInstanceTitle(*client, std::string(1024, 'x')).status, kStatusFailed);
    EXPECT_EQ(cmd::getInstance(*client, 0).text(0), "");
    EXPECT_EQ(cmd::setInstanceTitle(*client, std::string(1023, 'y')).status, kStatusOk);
    EXPECT_EQ(cmd::getInstance(*client, 0).text(0), std::string(1023, 'y'));
    EXPECT_EQ(cmd::setReservedText(*client, std::string(8196, 'z')).status, kStatusFailed);
    EXPECT_EQ(cmd::setReservedText(*client, std::string(8195, 'z')).status, kStatusOk);
}

TEST_F(ChannelTest, CommandsOfTheChannelAndTheRouting) {
    auto client = startClient();
    struct Case {
        const char* what;
        Reply reply;
        uint32_t status;
        Values results;
    } const cases[] = {
        {"728 is never implemented", cmd::notImplemented(*client, "x"), kStatusNotImplemented, {}},
        {"730 answers the empty text", cmd::getReservedText(*client), kStatusOk, {Value::s("")}},
        {"731 stores", cmd::setReservedText(*client, "kept"), kStatusOk, {}},
        {"730 still empty", cmd::getReservedText(*client), kStatusOk, {Value::s("")}},
        {"732 refuses", cmd::unsupportedText(*client, "x"), kStatusFailed, {}},
        {"740 sets", cmd::setCrossInstance(*client, 1), kStatusOk, {}},
        {"721 goes to the playlist (empty)", cmd::getCount(*client), kStatusOk, {Value::l(0)}},
        {"701 goes to playback (nothing to play)", cmd::play(*client), kStatusOk, {}},
        {"737 goes to video", cmd::setVideoParent(*client, 0), kStatusOk, {}},
        {"755 goes to burning (the server's first request)",
         cmd::burnListCreate(*client, 'E'),
         kStatusOk,
         {Value::l(1)}},
        {"754 goes to the input host (no plug-ins: an empty answer)",
         cmd::getFileInfo(*client, "a", "b"),
         kStatusOk,
         {Value::s("")}},
        {"736 is no command", client->call(736), 0, {}},
        {"799 is no command", client->call(799), 0, {}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.reply.delivered) << c.what;
        EXPECT_EQ(c.reply.status, c.status) << c.what;
        EXPECT_EQ(c.reply.results, c.results) << c.what;
    }
    // 600 from another instance answers 0 (playback stops only when cross-instance is set).
    win::LRESULT answer = -1;
    ASSERT_TRUE(win::sendMessageTimeout(client->serverWindow(), SRV_COMMAND, 0, CMD_INSTANCE_STOP,
                                        win::SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(answer, 0);
}

TEST_F(ChannelTest, InstanceEnumerationOverThreeServers) {
    std::vector<std::unique_ptr<VexaClient>> clients;
    const char* titles[] = {"one", "two", "three"};
    for (const char* title : titles) {
        clients.push_back(startClient());
        ASSERT_EQ(cmd::setInstanceTitle(*clients.back(), title).status, kStatusOk);
    }
    VexaClient& first = *clients[0];
    Reply own = cmd::getInstance(first, 0);
    ASSERT_EQ(own.status, kStatusOk);
    EXPECT_EQ(own.text(0), "one");
    EXPECT_EQ(static_cast<win::HWND>(own.number(1)), first.serverWindow());

    std::set<std::pair<std::string, win::HWND>> others, expected;
    for (int n = 1; n <= 2; ++n) {
        Reply r = cmd::getInstance(first, n);
        ASSERT_EQ(r.status, kStatusOk);
        others.insert({r.text(0), static_cast<win::HWND>(r.number(1))});
    }
    expected.insert({"two", clients[1]->serverWindow()});
    expected.insert({"three", clients[2]->serverWindow()});
    EXPECT_EQ(others, expected);

    for (int n : {3, 4, 1000, -1}) {
        Reply r = cmd::getInstance(first, n);
        EXPECT_EQ(r.status, kStatusOk);
        EXPECT_EQ(r.results, (Values{Value::s(""), Value::l(0)})) << n;
    }
}

TEST_F(ChannelTest, ProxySettingsRoundTrip) {
    auto client = startClient();
    EXPECT_EQ(cmd::getProxy(*client).status, kStatusFailed) << "no key yet";
    // The key without "ProxyEnable", and then with one that is not an integer.
    std::ofstream(test::registryDir() / "machine.reg")
        << "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\ZEM\\Kelpo]\n"
        << "\"ProxyServer\"=\"ignored:1\"\n";
    Reply absent = cmd::getProxy(*client);
    EXPECT_EQ(absent.status, kStatusOk);
    EXPECT_EQ(absent.results, (Values{Value::l(0), Value::s("")}));
    std::ofstream(test::registryDir() / "machine.reg")
        << "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\ZEM\\Kelpo]\n"
        << "\"ProxyEnable\"=\"1\"\n\"ProxyServer\"=\"ignored:1\"\n";
    EXPECT_EQ(cmd::getProxy(*client).results, (Values{Value::l(0), Value::s("")}));

    EXPECT_EQ(cmd::setProxy(*client, 1, "proxy.example:3128").status, kStatusOk);
    Reply r = cmd::getProxy(*client);
    EXPECT_EQ(r.status, kStatusOk);
    EXPECT_EQ(r.results, (Values{Value::l(1), Value::s("proxy.example:3128")}));
    EXPECT_EQ(cmd::setProxy(*client, 0, "").status, kStatusOk);
    EXPECT_EQ(cmd::getProxy(*client).results, (Values{Value::l(0), Value::s("")}));
}

TEST_F(ChannelTest, MessagesToTheServerWindowReachTheClientUnchanged) {
    auto client = startClient();
    std::vector<ClientEvent> seen;
    client->setEventHandler([&](const ClientEvent& e) { seen.push_back(e); });
    win::HWND server = client->serverWindow();
    ASSERT_TRUE(win::postMessage(server, SRV_STATUS, 214, 77));
    ASSERT_TRUE(win::postMessage(server, SRV_EVENT, 42, -5));
    ASSERT_TRUE(win::postMessage(server, SRV_STATUS, 208, 0x12345678));
    ASSERT_TRUE(client->waitFor([&] { return seen.size() >= 3; }, kGenerous));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].kind, ClientEvent::Kind::kStatus);
    EXPECT_EQ(seen[0].code, 214);
    EXPECT_EQ(seen[0].value, 77);
    EXPECT_EQ(seen[1].kind, ClientEvent::Kind::kEvent);
    EXPECT_EQ(seen[1].code, 42);
    EXPECT_EQ(seen[1].value, -5);
    EXPECT_EQ(seen[2].code, 208);
    EXPECT_EQ(seen[2].value, 0x12345678);
}

TEST_F(ChannelTest, ServerEndsWhenTheClientWindowIsDestroyed) {
    auto client = startClient();
    win::ChildProcess* process = client->serverProcess();
    ASSERT_NE(process, nullptr);
    win::HWND server = client->serverWindow();
    const auto blockFile = win::SharedMemory::pathFor(ControlBlock::nameFor(server));
    ASSERT_TRUE(blockFile);
    auto destroyed = std::chrono::steady_clock::now();
    client->closeWindow();
    auto code = process->wait(kGenerous);
    auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - destroyed);
    ASSERT_TRUE(code.has_value()) << "vexahost still runs";
    EXPECT_EQ(*code, 0);
    RecordProperty("seconds_to_exit", std::to_string(took.count()));
    std::printf("client window destroyed -> vexahost gone after %.3f s\n", took.count());
    EXPECT_LT(took.count(), 2.5);
    EXPECT_FALSE(win::isWindow(server));
    struct stat st {};
    EXPECT_NE(::stat(blockFile->c_str(), &st), 0) << "the block's name is removed at shutdown";
}

TEST_F(ChannelTest, NoClientOnTheCommandLineExitsAtOnceAndCreatesNothing) {
    VexaClient watcher;  // would see anything posted to a window of this process
    int arrived = 0;
    watcher.setEventHandler([&](const ClientEvent&) { ++arrived; });
    // Burn mode makes no server window either (a list it cannot read burns nothing).
    for (const char* line : {"abc", "", "0", "12 /BURN=E:list.m3u"}) {
        auto process = win::createProcess(folder_.server(), line);
        ASSERT_TRUE(process);
        auto code = process->wait(kGenerous);
        ASSERT_TRUE(code.has_value()) << line;
        EXPECT_EQ(*code, 0) << line;
    }
    watcher.pump(200ms);
    EXPECT_EQ(arrived, 0);
    int servers = 0;
    win::enumWindows([&](win::HWND hwnd) {
        servers += win::getClassName(hwnd) == kServerClassName;
        return true;
    });
    EXPECT_EQ(servers, 0);
}

TEST_F(ChannelTest, SwapHandsTheServerToAnotherClient) {
    auto first = startClient();
    win::HWND server = first->serverWindow();
    int asked = 0;
    first->setSwapConsent([&](int32_t n) {
        EXPECT_EQ(n, swapNumber(1));
        ++asked;
        return true;
    });
    VexaClient second;
    ASSERT_TRUE(second.takeOver(server, swapNumber(1))) << second.lastError();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(second.serverWindow(), server);
    EXPECT_EQ(first->serverWindow(), 0u) << "the old client let go";

    // Events now go to the new client only.
    std::vector<int32_t> firstSaw, secondSaw;
    first->setEventHandler([&](const ClientEvent& e) { firstSaw.push_back(e.code); });
    second.setEventHandler([&](const ClientEvent& e) { secondSaw.push_back(e.code); });
    ASSERT_TRUE(win::postMessage(server, SRV_EVENT, 31, 0));
    ASSERT_TRUE(second.waitFor([&] { return !secondSaw.empty(); }, kGenerous));
    first->pump(100ms);
    EXPECT_EQ(secondSaw, std::vector<int32_t>{31});
    EXPECT_TRUE(firstSaw.empty());
    EXPECT_EQ(cmd::getInstance(second, 0).number(1), static_cast<int32_t>(server));

    // Liveness follows the new client: the old window going does not end the server.
    win::ChildProcess* process = first->serverProcess();
    first->closeWindow();
    EXPECT_FALSE(process->wait(3s).has_value()) << "the server ended with its old client";
    second.closeWindow();
    EXPECT_TRUE(process->wait(kGenerous).has_value());
}

TEST_F(ChannelTest, HandOverGivesTheServerToTheNamedClient) {
    auto first = startClient();
    win::HWND server = first->serverWindow();
    VexaClient second;
    ASSERT_TRUE(first->handOver(second.window(), swapNumber(2))) << first->lastError();
    EXPECT_EQ(first->serverWindow(), 0u);
    ASSERT_TRUE(second.attach(server));
    std::vector<int32_t> firstSaw, secondSaw;
    first->setEventHandler([&](const ClientEvent& e) { firstSaw.push_back(e.code); });
    second.setEventHandler([&](const ClientEvent& e) { secondSaw.push_back(e.code); });
    ASSERT_TRUE(win::postMessage(server, SRV_STATUS, 201, 0));
    ASSERT_TRUE(second.waitFor([&] { return !secondSaw.empty(); }, kGenerous));
    first->pump(100ms);
    EXPECT_EQ(secondSaw, std::vector<int32_t>{201});
    EXPECT_TRUE(firstSaw.empty());
    EXPECT_EQ(cmd::setInstanceTitle(second, "second's").status, kStatusOk);
}

TEST_F(ChannelTest, SwapWithoutBlockOrConsentAnswersZero) {
    auto first = startClient();
    first->setSwapConsent([](int32_t) { return false; });
    VexaClient second;
    win::HWND server = first->serverWindow();
    EXPECT_FALSE(second.takeOver(server, swapNumber(3))) << "refused";
    EXPECT_EQ(first->serverWindow(), server) << "still the first one's server";
    std::vector<int32_t> firstSaw;
    first->setEventHandler([&](const ClientEvent& e) { firstSaw.push_back(e.code); });
    ASSERT_TRUE(win::postMessage(server, SRV_EVENT, 9, 0));
    EXPECT_TRUE(first->waitFor([&] { return !firstSaw.empty(); }, kGenerous));
    win::LRESULT answer = -1;
    ASSERT_TRUE(win::sendMessageTimeout(first->serverWindow(), SRV_COMMAND, swapNumber(4),
                                        CMD_SWAP_CLIENT, win::SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(answer, 0) << "no such swap block";
}

}  // namespace
}  // namespace vexa
