// The host entries as plug-ins use them: from a thread of their own, during play.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "axserver/inputs/host_callbacks.h"
#include "axserver/inputs/input_plugin_host.h"
#include "axserver/inputs/tests/host_fixture.h"

namespace vexa {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using testing::Hosts;
using ::testing::IsEmpty;
using testing::linesStartingWith;

const std::vector<std::string> kScript = {
    "types=mp3|MP3",
    "do=status 208 5",
    "do=status 223 40",
    "do=event 77",
    "do=metadata 12 hello world",
    "do=address http://a.example/b",
    "do=streaminfo 5 -1 7 9",
    "do=streaminfo -1 300 -1 -1",
    "do=longmetadata 3 70000",
    "do=vis",
};

struct VersionCase {
    const char* version;
    std::vector<std::string> clientCalls;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.version;
}

class PluginThreadCallbacks : public ::testing::TestWithParam<VersionCase> {};

TEST_P(PluginThreadCallbacks, ReachTheClient) {
    Hosts hosts;
    std::vector<std::string> config = kScript;
    config.push_back(std::string("version=") + GetParam().version);
    hosts.folder.addPlugin("in_test", "in_a.so", config);
    hosts.load();
    ASSERT_EQ(hosts.inputs.play("a.mp3", 255), 0);
    hosts.inputs.stop();  // joins the plug-in's thread
    EXPECT_EQ(hosts.client.calls(), GetParam().clientCalls);
    if (!GetParam().clientCalls.empty()) {
        EXPECT_TRUE(hosts.client.calledFromOtherThread());
    }
    StreamInfo info = hosts.inputs.streamInfo();
    EXPECT_EQ(info.info1, 5);
    EXPECT_EQ(info.info2, 300);
    EXPECT_EQ(info.info3, 7);
    EXPECT_THAT(hosts.log("in_a.so"), Contains("vis add=0 mode=2 mode2=0 add2=0 dsp=0 count=576"));
    EXPECT_THAT(hosts.log("in_a.so"), Contains("vis after quit add=1"));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, PluginThreadCallbacks,
    ::testing::Values(VersionCase{"0x102",
                                  {"status 208 5", "status 223 40", "event 77",
                                   "metadata hello world 12", "metadata http://a.example/b 256",
                                   // 65536 bytes hold the text, its zero and the number.
                                   "metadata 65531 bytes 3"}},
                      VersionCase{"0x101",
                                  {"status 208 5", "status 223 40", "metadata hello world 12",
                                   "metadata http://a.example/b 256", "metadata 65531 bytes 3"}},
                      VersionCase{"0x100", {}}));

struct StreamInfoCase {
    std::vector<std::array<int32_t, 4>> calls;
    StreamInfo expected;
};

TEST(StreamInfo, MinusOneLeavesAValue) {
    const StreamInfoCase cases[] = {
        {{}, {0, 0, 0}},
        {{{1, 2, 3, 4}}, {1, 2, 3}},
        {{{1, 2, 3, 4}, {-1, -1, -1, -1}}, {1, 2, 3}},
        {{{1, 2, 3, 4}, {-1, 20, -1, 7}}, {1, 20, 3}},
        {{{1, 2, 3, 4}, {10, -1, 30, -1}}, {10, 2, 30}},
        // Answered as 16, 32 and 16 bits.
        {{{0x12345, 0x7654321, -2, 0}}, {0x2345, 0x7654321, -2}},
    };
    for (const auto& c : cases) {
        Hosts hosts;
        hosts.folder.addPlugin("in_minimal", "in_a.so");
        hosts.load();
        SonariInModule* record = hosts.inputs.plugins()[0];
        for (const auto& call : c.calls) {
            record->setStreamInfo(call[0], call[1], call[2], call[3]);
        }
        StreamInfo info = hosts.inputs.streamInfo();
        EXPECT_EQ(info.info1, c.expected.info1);
        EXPECT_EQ(info.info2, c.expected.info2);
        EXPECT_EQ(info.info3, c.expected.info3);
    }
}

TEST(HostEntries, DoNothingOnceTheHostHasUnloaded) {
    Hosts hosts;
    hosts.folder.addPlugin("in_minimal", "in_a.so");
    hosts.load();
    auto postStatus = hosts.inputs.plugins()[0]->postStatus;
    auto visAdd = hosts.inputs.plugins()[0]->visAdd;
    hosts.inputs.unloadAll();
    postStatus(208, 1);
    unsigned char values[75] = {};
    EXPECT_EQ(visAdd(values, 0, 0), 1);
    EXPECT_THAT(hosts.client.calls(), IsEmpty());
}

TEST(HostEntries, MetadataIsCutToFitTheBlock) {
    EXPECT_EQ(fittingMetadata("short"), "short");
    std::string exact(kMaxMetadataText, 'x');
    EXPECT_EQ(fittingMetadata(exact).size(), kMaxMetadataText);
    std::string longer(kMaxMetadataText + 10, 'x');
    EXPECT_EQ(fittingMetadata(longer).size(), kMaxMetadataText);
    // A two-byte character across the limit is left out whole.
    std::string utf8(kMaxMetadataText - 1, 'x');
    utf8 += "\xc3\xa4";
    EXPECT_EQ(fittingMetadata(utf8).size(), kMaxMetadataText - 1);
}

}  // namespace
}  // namespace vexa
