// The plug-in hosts inside a real vexahost: a temporary program folder with a copy of the
// program and a Plugins/ folder of test plug-ins, driven through libvexaclient.
//
// These tests start a plug-in's play thread without the playback controller, through the
// extended item the test plug-ins offer for it ("play" of in_minimal, "run" of in_test_ext),
// set with command 762: the plug-in then reports through its host entries exactly as after a
// play.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "axserver/tests/plugins/fixture/program_folder.h"
#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/tests/program_folder.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsSubsetOf;

constexpr auto kGenerous = 20s;

std::string describe(const ClientEvent& e) {
    switch (e.kind) {
        case ClientEvent::Kind::kEvent:
            return "event " + std::to_string(e.code) + " " + std::to_string(e.value);
        case ClientEvent::Kind::kStatus:
            return "status " + std::to_string(e.code) + " " + std::to_string(e.value);
        case ClientEvent::Kind::kMetadata:
            return "metadata " + e.text + " " + std::to_string(e.value);
    }
    return "?";
}

class PluginHostsProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        test::isolateProcess();
        folder.copyIn(VEXAHOST_PATH, "vexahost");
    }

    // Every server ends with its client window, cleanly: under a sanitizer a finding in the
    // server (a race with a plug-in thread, a leak at exit) makes its exit code non-zero.
    void TearDown() override {
        if (!client_ || client_->serverProcess() == nullptr) {
            return;
        }
        client_->closeWindow();
        std::optional<int> exitCode = client_->serverProcess()->wait(kGenerous);
        ASSERT_TRUE(exitCode.has_value());
        EXPECT_EQ(*exitCode, 0);
    }

    VexaClient* start() {
        client_ = std::make_unique<VexaClient>();
        client_->setEventHandler([this](const ClientEvent& e) {
            if (onEvent) {
                onEvent(e);
            }
            events.push_back(describe(e));
        });
        EXPECT_TRUE(client_->start(folder.path() + "/vexahost", kGenerous)) << client_->lastError();
        return client_.get();
    }

    bool waitForEvent(VexaClient& client, const std::string& event) {
        return client.waitFor(
            [&] { return std::find(events.begin(), events.end(), event) != events.end(); },
            kGenerous);
    }

    testing::ProgramFolder folder;
    std::vector<std::string> events;  // main thread only (the client's handler)
    std::function<void(const ClientEvent&)> onEvent;

  private:
    std::unique_ptr<VexaClient> client_;
};

TEST_F(PluginHostsProcess, APluginBuiltFromTheHeadersAloneIsChosenAndReachesTheClient) {
    folder.addPlugin("in_minimal", "in_minimal.so");
    VexaClient* client = start();

    // Chosen for its files: its types are the server's, its lengths and details are asked.
    Reply types = client->call(CMD_GET_FILE_TYPES);
    ASSERT_TRUE(types.ok());
    EXPECT_EQ(types.text(0), "xyz\tMinimal example files (*.xyz)");
    EXPECT_EQ(client->call(CMD_GET_FILE_LENGTH_MS, {Value::s("/music/Song.XYZ")}).number(0), 61500);
    EXPECT_EQ(client->call(CMD_GET_FILE_LENGTH_MS, {Value::s("/music/song.ogg")}).number(0), -1);
    Reply details = client->call(CMD_GET_FILE_DETAILS, {Value::s("/music/song.xyz")});
    ASSERT_TRUE(details.ok());
    EXPECT_EQ(details.number(0), 0);  // no getDetails entry
    EXPECT_EQ(details.number(2), 61);

    // Its play thread reaches the client through every callback, then ends the track.
    Reply played = client->call(CMD_SET_FILE_INFO,
                                {Value::s("minimal://radio"), Value::s("play"), Value::s("1")});
    EXPECT_EQ(played.status, kStatusOk);
    ASSERT_TRUE(waitForEvent(*client, "event 1 0"));  // the server's end-of-track event
    ASSERT_TRUE(waitForEvent(*client, "event 7777 0"));
    EXPECT_THAT(
        (std::vector<std::string>{"metadata minimal://radio 256", "status 208 0", "status 223 55",
                                  "status 214 0", "metadata minimal metadata 42", "event 7777 0"}),
        IsSubsetOf(events));
    Reply info = client->call(CMD_GET_STREAM_INFO);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.number(0), 44);
    EXPECT_EQ(info.number(1), 128000);
    EXPECT_EQ(info.number(2), 2);
}

TEST_F(PluginHostsProcess, CallbacksFromAPluginThreadArriveWithTheirValues) {
    folder.addPlugin("in_test_ext", "in_a.so",
                     {"types=xyz|X", "do=status 208 5", "do=status 223 -40", "do=status 214 0",
                      "do=event 77", "do=event 240", "do=metadata 12 hello there",
                      "do=address http://a.example/b", "do=streaminfo 70000 -1 -3 9",
                      "do=streaminfo -1 300 -1 -1", "do=longmetadata 3 70000", "do=event 78"});
    VexaClient* client = start();
    ASSERT_EQ(
        client->call(CMD_SET_FILE_INFO, {Value::s("a.xyz"), Value::s("run"), Value::s("")}).status,
        kStatusOk);
    ASSERT_TRUE(waitForEvent(*client, "event 78 0"));
    // Statuses and events are posted in order; metadata is sent, so it may come first.
    std::vector<std::string> posted;
    std::vector<std::string> metadata;
    for (const auto& e : events) {
        (e.starts_with("metadata") ? metadata : posted).push_back(e);
    }
    EXPECT_THAT(posted, ElementsAre("status 208 5", "status 223 -40", "status 214 0", "event 77 0",
                                    "event 240 0", "event 78 0"));
    ASSERT_EQ(metadata.size(), 3u);
    EXPECT_EQ(metadata[0], "metadata hello there 12");
    EXPECT_EQ(metadata[1], "metadata http://a.example/b 256");
    // The long text was cut so that it and its number fit the block.
    EXPECT_EQ(metadata[2], "metadata " + std::string(65531, 'm') + " 3");
    Reply info = client->call(CMD_GET_STREAM_INFO);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.number(0), static_cast<int16_t>(70000));
    EXPECT_EQ(info.number(1), 300);
    EXPECT_EQ(info.number(2), -3);
}

TEST_F(PluginHostsProcess, AMetadataSendWaitsUntilTheClientHasReadTheBlock) {
    folder.addPlugin("in_test_ext", "in_a.so",
                     {"types=xyz|X", "do=metadata 1 first", "do=metadata 2 second"});
    VexaClient* client = start();
    int64_t handlerEnd = 0;
    std::string stillInBlock;
    onEvent = [&](const ClientEvent& e) {
        if (e.kind == ClientEvent::Kind::kMetadata && e.text == "first") {
            std::this_thread::sleep_for(300ms);
            auto values = client->block()->peek("sl");
            stillInBlock = values ? (*values)[0].text : "unreadable";
            timespec ts{};
            clock_gettime(CLOCK_MONOTONIC, &ts);
            handlerEnd = int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
        }
    };
    ASSERT_EQ(
        client->call(CMD_SET_FILE_INFO, {Value::s("a.xyz"), Value::s("run"), Value::s("")}).status,
        kStatusOk);
    ASSERT_TRUE(waitForEvent(*client, "metadata second 2"));
    EXPECT_EQ(stillInBlock, "first") << "the plug-in wrote again while the client was reading";
    // The plug-in logs each send once it has returned, just after the client has answered.
    std::vector<std::string> done;
    client->waitFor(
        [&] {
            done = testing::linesStartingWith(folder.pluginLog("in_a.so"), "done metadata ");
            return done.size() == 2;
        },
        kGenerous);
    ASSERT_EQ(done.size(), 2u);
    int64_t firstReturned = std::stoll(done[0].substr(std::string("done metadata ").size()));
    EXPECT_GE(firstReturned, handlerEnd);
}

TEST_F(PluginHostsProcess, FileTypeListOfTheQuickTimePluginAlone) {
    folder.addPlugin("in_test", "in_mova.so",
                     {"types=MOV;QT;M4P|QuickTime File (*.MOV;*.QT;*.M4P)"});
    VexaClient* client = start();
    EXPECT_EQ(client->call(CMD_GET_FILE_TYPES).text(0),
              "MOV;QT;M4P\tQuickTime File (*.MOV;*.QT;*.M4P)");
}

TEST_F(PluginHostsProcess, FileTypeListOfSeveralPlugins) {
    folder.addPlugin("in_test", "in_mova.so",
                     {"types=MOV;QT;M4P|QuickTime File (*.MOV;*.QT;*.M4P)"});
    folder.addPlugin("in_test", "in_mp3.so", {"types=mp3;mp2;mpa|MPEG audio files"});
    folder.addPlugin("in_test", "in_wave.so", {"types=wav|Wave files|aif;aiff|AIFF files"});
    VexaClient* client = start();
    EXPECT_EQ(client->call(CMD_GET_FILE_TYPES).text(0),
              "MOV;QT;M4P\tQuickTime File (*.MOV;*.QT;*.M4P)\tmp3;mp2;mpa\tMPEG audio files\t"
              "wav\tWave files\taif;aiff\tAIFF files");
}

TEST_F(PluginHostsProcess, FileInformationCommands) {
    folder.addPlugin("in_test_ext", "in_b.so",
                     {"types=xyz;qrx|X", "ext=title|Title B", "info=/m/a.xyz|A|125999",
                      "description=Kestrine WMA plug-in 9"});
    folder.addPlugin("in_test", "in_c.so", {"types=mp3|MP3", "info=/m/c.mp3|C|-1"});
    VexaClient* client = start();

    Reply title = client->call(CMD_GET_FILE_INFO, {Value::s("/m/a.xyz"), Value::s("title")});
    ASSERT_TRUE(title.ok());
    // Start-up has ended once a command is answered: its item went to the "blah.qrx" plug-in.
    EXPECT_THAT(folder.pluginLog("in_b.so"),
                Contains("setext blah.qrx setHttpConfigValues 16000,2750,3250"));
    EXPECT_EQ(title.text(0), "Title B");
    Reply none = client->call(CMD_GET_FILE_INFO, {Value::s("/m/c.mp3"), Value::s("title")});
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none.text(0), "");

    EXPECT_EQ(client->call(CMD_GET_FILE_LENGTH_MS, {Value::s("/m/a.xyz")}).number(0), 125999);
    Reply details = client->call(CMD_GET_FILE_DETAILS, {Value::s("/m/a.xyz")});
    ASSERT_TRUE(details.ok());
    EXPECT_EQ(details.number(0), 1);
    EXPECT_EQ(details.text(1), "/m/a.xyz:1");
    EXPECT_EQ(details.number(2), 125);  // whole seconds
    EXPECT_EQ(details.text(3), "/m/a.xyz:2");
    EXPECT_EQ(details.text(7), "/m/a.xyz:6");
    EXPECT_EQ(details.number(8), 11);
    EXPECT_EQ(details.number(9), 70000);
    EXPECT_EQ(details.number(10), 33);
    EXPECT_EQ(details.number(11), 44);
    Reply unknown = client->call(CMD_GET_FILE_DETAILS, {Value::s("/m/c.mp3")});
    EXPECT_EQ(unknown.number(2), -1);

    EXPECT_EQ(
        client->call(CMD_SET_FILE_INFO, {Value::s("/m/a.xyz"), Value::s("title"), Value::s("New")})
            .status,
        kStatusOk);
    EXPECT_EQ(client->call(CMD_WRITE_FILE_INFO).status, kStatusOk);
    EXPECT_EQ(
        client->call(CMD_SET_FILE_INFO, {Value::s("/m/c.mp3"), Value::s("title"), Value::s("New")})
            .status,
        kStatusFailed);  // its plug-in has no set export
    EXPECT_EQ(client->call(CMD_SET_CUSTOM_DRM, {Value::l(1)}).status, kStatusOk);
    EXPECT_THAT(folder.pluginLog("in_b.so"), Contains("drm 1"));
    // The playlist gives the host its entries: none yet.
    EXPECT_EQ(client->call(CMD_GET_ENTRY_DETAILS, {Value::l(0)}).status, kStatusOutOfRange);
}

TEST_F(PluginHostsProcess, CommandsWithoutPlugins) {
    VexaClient* client = start();
    EXPECT_EQ(client->call(CMD_GET_FILE_TYPES).text(0), "");
    EXPECT_EQ(client->call(CMD_GET_FILE_LENGTH_MS, {Value::s("a.mp3")}).number(0), -1);
    EXPECT_EQ(client->call(CMD_SET_CUSTOM_DRM, {Value::l(1)}).status, kStatusFailed);
    EXPECT_EQ(client->call(CMD_WRITE_FILE_INFO).status, kStatusFailed);
    Reply info = client->call(CMD_GET_STREAM_INFO);
    EXPECT_TRUE(info.ok());
    EXPECT_EQ(info.results, (Values{Value::d(0), Value::l(0), Value::d(0)}));
    // Arguments that do not read answer 1.
    EXPECT_EQ(client->callRaw(CMD_GET_FILE_INFO, {Value::s("only one")}, "s").status,
              kStatusFailed);
    EXPECT_EQ(client->call(CMD_GET_FILE_INFO, {Value::s("a.mp3"), Value::s(std::string(128, 'k'))})
                  .status,
              kStatusFailed);
}

TEST_F(PluginHostsProcess, LoadsAtStartUpAndUnloadsInOrderAtShutdown) {
    const std::string shared = "sharedlog=" + folder.path() + "/order.log";
    folder.addPlugin("in_test", "in_b.so", {shared});
    folder.addPlugin("in_test", "in_a.so", {shared});
    folder.addPlugin("out_qsnd", "out_qsnd.so", {shared});
    folder.addPlugin("out_qmix", "out_qmix.so", {shared});
    VexaClient* client = start();
    const win::HWND server = client->serverWindow();
    client->call(CMD_GET_FILE_TYPES);  // start-up has finished once a command is answered
    client->closeWindow();
    auto* process = client->serverProcess();
    ASSERT_NE(process, nullptr);
    std::optional<int> exitCode = process->wait(kGenerous);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0);

    std::vector<std::string> order;
    for (const auto& line : folder.lines("order.log")) {
        auto space = line.find(' ');
        std::string what = line.substr(space + 1);
        if (what.starts_with("init") || what == "quit" || what.starts_with("open")) {
            order.push_back(line.substr(0, space) + " " + what.substr(0, what.find(' ')));
        }
    }
    EXPECT_THAT(order, ElementsAre("in_a.so init", "in_b.so init", "out_qmix.so init",
                                   "out_qsnd.so init", "out_qsnd.so open", "in_a.so quit",
                                   "in_b.so quit", "out_qmix.so quit", "out_qsnd.so quit"));
    EXPECT_THAT(folder.pluginLog("out_qsnd.so"),
                Contains("open 44100 2 16 -1 -1 window=" + std::to_string(server)));
}

}  // namespace
}  // namespace vexa
