#include "control/vexactl/script.h"

#include <gtest/gtest.h>

#include "channel/protocol.h"

namespace vexa::ctl {
namespace {

TEST(VexactlScript, LinesBecomeCommands) {
    struct Case {
        const char* line;
        int32_t number;
        Values args;
        const char* resultTypes;
    } const cases[] = {
        {"append /music/a b.mp3 ", CMD_APPEND, {Value::s("/music/a b.mp3")}, ""},
        {"play", CMD_PLAY, {}, ""},
        {"stop", CMD_STOP, {}, ""},
        {"pause", CMD_PAUSE_TOGGLE, {}, ""},
        {"seek 90", CMD_SEEK, {Value::l(90)}, ""},
        {"volume 0x80", CMD_SET_VOLUME, {Value::l(128)}, ""},
        {"next", CMD_NEXT, {}, ""},
        {"prev", CMD_PREVIOUS, {}, ""},
        {"info 2", CMD_GET_ENTRY_DETAILS, {Value::l(2)}, "dssssssdldd"},
        {"state", CMD_GET_STATE, {}, "l"},
        {"load-m3u http://h/a list.m3u", CMD_LOAD_M3U, {Value::s("http://h/a list.m3u")}, ""},
        {"load-pls /p.pls", CMD_LOAD_PLS, {Value::s("/p.pls")}, ""},
        {"swap 0 2", CMD_SWAP_ENTRIES, {Value::l(0), Value::l(2)}, ""},
        {"delete 1", CMD_DELETE_ENTRY, {Value::l(1)}, ""},
        {"entry 0", CMD_GET_ENTRY, {Value::l(0)}, "ssl"},
        {"sort", CMD_SORT_BY_TITLE, {}, ""},
        {"raw 754 ss \"a file\" key",
         CMD_GET_FILE_INFO,
         {Value::s("a file"), Value::s("key")},
         "s"},
        {"raw 751 d -1", CMD_SET_SUBTITLES, {Value::d(-1)}, ""},
        {"raw 900 -", 900, {}, ""},
    };
    for (const Case& c : cases) {
        std::string error;
        auto command = parseLine(c.line, error);
        ASSERT_TRUE(command) << c.line << ": " << error;
        EXPECT_EQ(command->kind, ScriptCommand::Kind::kCommand) << c.line;
        EXPECT_EQ(command->number, c.number) << c.line;
        EXPECT_EQ(command->args, c.args) << c.line;
        EXPECT_EQ(command->resultTypes, c.resultTypes) << c.line;
    }
}

TEST(VexactlScript, OtherLinesAndMistakes) {
    std::string error;
    auto wait = parseLine("wait-event 4 2.5", error);
    ASSERT_TRUE(wait);
    EXPECT_EQ(wait->kind, ScriptCommand::Kind::kWaitEvent);
    EXPECT_EQ(wait->eventCode, 4);
    EXPECT_DOUBLE_EQ(wait->timeoutSeconds, 2.5);
    EXPECT_EQ(parseLine("list", error)->kind, ScriptCommand::Kind::kList);
    EXPECT_EQ(parseLine("quit", error)->kind, ScriptCommand::Kind::kQuit);
    EXPECT_EQ(parseLine("   ", error)->kind, ScriptCommand::Kind::kEmpty);
    for (const char* bad :
         {"seek", "seek 1 2", "seek x", "volume 99999999999", "append", "play now", "raw 700",
          "raw 700 s", "raw 700 x 1", "raw 706 l y", "wait-event", "wait-event 1 -3", "dance",
          "swap 1", "swap 1 x", "load-pls"}) {
        error.clear();
        EXPECT_FALSE(parseLine(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(VexactlScript, OutputLines) {
    EXPECT_EQ(formatReply(0, {Value::s("file"), Value::s(""), Value::l(-1)}), "0\tfile\t\t-1");
    EXPECT_EQ(formatReply(kStatusOutOfRange, {}), "2147942487");
    EXPECT_EQ(formatReply(0, {Value::d(-2)}), "0\t-2");
    EXPECT_EQ(formatEvent(240, -1), "event\t240\t-1");
    EXPECT_EQ(formatStatus(223, 50), "status\t223\t50");
    EXPECT_EQ(formatMetadata("Artist - Song", 256), "metadata\tArtist - Song\t256");
    EXPECT_EQ(splitWords("a \"b c\" d\\\"e"), (std::vector<std::string>{"a", "b c", "d\"e"}));
}

}  // namespace
}  // namespace vexa::ctl
