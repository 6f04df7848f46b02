#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/inputs/tests/host_fixture.h"

namespace vexa {
namespace {

using ::testing::ElementsAre;
using testing::Hosts;
using ::testing::IsEmpty;
using testing::linesStartingWith;

// in_a.so takes ".xyz" but has no extended-information exports; in_b.so takes ".xyz" too and
// has them; in_c.so claims "special://x" and has them.
class ExtendedInfo : public ::testing::Test {
  protected:
    void SetUp() override {
        hosts.folder.addPlugin("in_test", "in_a.so", {"types=xyz|X"});
        hosts.folder.addPlugin("in_test_ext", "in_b.so",
                               {"types=xyz;qrx|X", "ext=type|0", "ext=title|Song B"});
        hosts.folder.addPlugin("in_test_ext", "in_c.so",
                               {"claim=special://x", "claim=special://y", "ext=type|1"});
        hosts.load();
    }
    // The lines of a plug-in's log that show the host searching or asking it.
    std::vector<std::string> asked(const std::string& plugin) {
        std::vector<std::string> lines;
        for (const auto& line : hosts.log(plugin)) {
            if (line.starts_with("claims ") || line.starts_with("getext ") ||
                line.starts_with("setext ") || line.starts_with("writeext")) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    Hosts hosts;
};

TEST_F(ExtendedInfo, GetWalksToThePluginWithTheExportAndCachesItsKey) {
    std::string value;
    EXPECT_NE(hosts.inputs.getExtendedInfo("a.xyz", "type", value, 1024), 0);
    EXPECT_EQ(value, "0");
    // A second name with the same key goes straight to the cached export: no claimsFile.
    EXPECT_NE(hosts.inputs.getExtendedInfo("b.xyz", "title", value, 1024), 0);
    EXPECT_EQ(value, "Song B");
    EXPECT_EQ(hosts.inputs.getExtendedInfo("c.xyz", "other", value, 1024), 0);
    EXPECT_EQ(value, "");
    // The walk: in_a.so found first (no export), then the search from the next index finds
    // in_b.so, so in_b.so and in_c.so were asked to claim the name twice.
    EXPECT_THAT(asked("in_a.so"), ElementsAre("claims a.xyz"));
    EXPECT_THAT(asked("in_b.so"), ElementsAre("claims a.xyz", "claims a.xyz", "getext a.xyz type",
                                              "getext b.xyz title", "getext c.xyz other"));
    EXPECT_THAT(asked("in_c.so"), ElementsAre("claims a.xyz", "claims a.xyz"));
}

TEST_F(ExtendedInfo, TheCachedKeyIsComparedWithItsLetterCase) {
    std::string value;
    hosts.inputs.getExtendedInfo("a.xyz", "type", value, 1024);
    EXPECT_NE(hosts.inputs.getExtendedInfo("b.XYZ", "type", value, 1024), 0);
    EXPECT_THAT(asked("in_a.so"), ElementsAre("claims a.xyz", "claims b.XYZ"));
}

TEST_F(ExtendedInfo, AKeyWithoutAnyExportIsCachedAsNone) {
    Hosts plain;
    plain.folder.addPlugin("in_test", "in_a.so", {"types=xyz|X"});
    plain.load();
    std::string value = "left over";
    EXPECT_EQ(plain.inputs.getExtendedInfo("a.xyz", "type", value, 1024), 0);
    EXPECT_EQ(value, "");
    EXPECT_EQ(plain.inputs.getExtendedInfo("b.xyz", "type", value, 1024), 0);
    EXPECT_THAT(linesStartingWith(plain.log("in_a.so"), "claims"), ElementsAre("claims a.xyz"));
}

TEST_F(ExtendedInfo, AnotherKeyWalksAgainAndAnEmptyKeyIsNeverCached) {
    std::string value;
    hosts.inputs.getExtendedInfo("a.xyz", "type", value, 1024);
    EXPECT_NE(hosts.inputs.getExtendedInfo("special://x", "type", value, 1024), 0);
    EXPECT_EQ(value, "1");
    EXPECT_NE(hosts.inputs.getExtendedInfo("special://y", "type", value, 1024), 0);
    EXPECT_THAT(linesStartingWith(asked("in_c.so"), "claims special"),
                ElementsAre("claims special://x", "claims special://y"));
}

TEST_F(ExtendedInfo, NoPluginTakesTheFile) {
    std::string value;
    EXPECT_EQ(hosts.inputs.getExtendedInfo("a.nothing", "type", value, 1024), 0);
    EXPECT_EQ(hosts.inputs.setExtendedInfo("a.nothing", "k", "v"), 0);
    EXPECT_EQ(hosts.inputs.writeExtendedInfo(), 0);
}

TEST_F(ExtendedInfo, SetAndWriteGoToTheSamePlugin) {
    EXPECT_EQ(hosts.inputs.writeExtendedInfo(), 0);  // no set lookup yet
    EXPECT_NE(hosts.inputs.setExtendedInfo("a.xyz", "title", "New"), 0);
    EXPECT_NE(hosts.inputs.setExtendedInfo("b.xyz", "artist", "Someone"), 0);
    EXPECT_NE(hosts.inputs.writeExtendedInfo(), 0);
    EXPECT_THAT(asked("in_a.so"), ElementsAre("claims a.xyz"));
    EXPECT_THAT(asked("in_b.so"),
                ElementsAre("claims a.xyz", "claims a.xyz", "setext a.xyz title New",
                            "setext b.xyz artist Someone", "writeext"));
}

TEST_F(ExtendedInfo, ASetThatNoPluginAcceptsEmptiesTheCachedKey) {
    hosts.inputs.setExtendedInfo("a.xyz", "k", "1");
    hosts.inputs.setExtendedInfo("a.nothing", "k", "2");
    hosts.inputs.setExtendedInfo("b.xyz", "k", "3");
    EXPECT_THAT(linesStartingWith(asked("in_a.so"), "claims"),
                ElementsAre("claims a.xyz", "claims a.nothing", "claims b.xyz"));
}

TEST_F(ExtendedInfo, GetAndSetKeepSeparateCaches) {
    std::string value;
    hosts.inputs.setExtendedInfo("special://x", "k", "v");  // empty key: caches nothing useful
    hosts.inputs.setExtendedInfo("a.xyz", "k", "v");
    EXPECT_NE(hosts.inputs.getExtendedInfo("b.xyz", "type", value, 1024), 0);
    EXPECT_THAT(linesStartingWith(asked("in_a.so"), "claims"),
                ElementsAre("claims special://x", "claims a.xyz", "claims b.xyz"));
}

TEST_F(ExtendedInfo, RefusalsArePassedOn) {
    Hosts refusing;
    refusing.folder.addPlugin("in_test_ext", "in_b.so", {"types=xyz|X", "setext=0", "writeext=0"});
    refusing.load();
    EXPECT_EQ(refusing.inputs.setExtendedInfo("a.xyz", "k", "v"), 0);
    EXPECT_EQ(refusing.inputs.writeExtendedInfo(), 0);
}

TEST_F(ExtendedInfo, StartUpItemGoesToTheQrxPlugin) {
    hosts.inputs.configureHttpStreaming();
    EXPECT_THAT(linesStartingWith(asked("in_b.so"), "setext"),
                ElementsAre("setext blah.qrx setHttpConfigValues 16000,2750,3250"));
}

TEST_F(ExtendedInfo, StartUpItemWithoutAQrxPluginDoesNothing) {
    Hosts mp3;
    mp3.folder.addPlugin("in_test_ext", "in_a.so", {"types=mp3|MP3"});
    mp3.load();
    mp3.inputs.configureHttpStreaming();  // no fallback to the ".mp3" plug-in here
    EXPECT_THAT(linesStartingWith(mp3.log("in_a.so"), "setext"), IsEmpty());
}

}  // namespace
}  // namespace vexa
