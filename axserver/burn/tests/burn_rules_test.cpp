// The pure rules of disc burning: which files may be burned, the title, the flags and speed
// handed to the burner, the status word, the command line and the burn list file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "axserver/burn/burn_command_line.h"
#include "axserver/burn/burn_list_file.h"
#include "axserver/burn/burn_rules.h"

namespace vexa {
namespace {

TEST(BurnRules, MayBeBurned) {
    const std::vector<std::string> extensions = {"MP3", "wma", "ogg"};
    struct Case {
        const char* name;
        const char* type;
        int wmaVersion;
        bool may;
    };
    const Case cases[] = {
        {"song.mp3", "0", 0, true},       {"song.Mp3", "", 0, true},
        {"movie.mp3", "1", 9, false},     {"C:\\dir.v2\\file", "0", 9, false},
        {"/music.d/file", "0", 9, false}, {"noextension", "", 9, false},
        {"song.", "", 9, false},          {"song.flac", "0", 9, false},
        {"song.wma", "0", 8, false},      {"song.WMA", "0", 0, false},
        {"song.wma", "0", 9, true},       {"song.ogg", "0", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(mayBeBurned(c.name, extensions, c.type, c.wmaVersion), c.may);
    }
}

TEST(BurnRules, TitleFlagsAndSpeed) {
    EXPECT_EQ(burnTitle('e', 0, 1, 8), "E: (0%) Burning 1 track at 8x");
    EXPECT_EQ(burnTitle('E', 75, 2, 0), "E: (75%) Burning 2 tracks at 0x");
    EXPECT_EQ(burnTitle('d', 0, 0, 4), "D: (0%) Burning 0 track at 4x");

    struct Flags {
        int32_t test, underrun, discAtOnce;
        uint32_t flags;
    };
    for (const Flags& f : {Flags{0, 0, 0, 0x20}, Flags{1, 0, 0, 0xA0}, Flags{0, 1, 1, 0x10010},
                           Flags{5, 7, 9, 0x10090}}) {
        EXPECT_EQ(burnWriteFlags(f.test, f.underrun, f.discAtOnce), f.flags);
    }
    EXPECT_EQ(burnSpeed(8, 4), 8u);
    EXPECT_EQ(burnSpeed(0, 4), 0xFFFFFFF0u);
    EXPECT_EQ(burnSpeed(0, 0xFB), 0u);
}

TEST(BurnRules, PercentAndStatusWord) {
    EXPECT_EQ(burnPercent(3999, 10000), 0);  // lead-in
    EXPECT_EQ(burnPercent(5000, 10000), 50);
    EXPECT_EQ(burnPercent(5000, 0), 500000);  // no total: taken as 1
    EXPECT_EQ(burnedSeconds(7500), 100);

    EXPECT_EQ(convertStatusWord(2), 2u);
    struct Case {
        int32_t seconds;
        std::vector<int32_t> lengths;
        int32_t overall;
        uint32_t word;
        int32_t trackPercent;
    };
    const Case cases[] = {
        {150, {100, 100, 100}, 40, (40u << 9) | 0x101, 50},
        {0, {100, 100}, 0, 0x100, 0},
        {350, {100, 100}, 99, (99u << 9) | 0x101, 250},  // beyond the end: the last track
        {10, {0, 100}, 200, ((200u & 0x7F) << 9) | 0x101, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        int32_t trackPercent = -1;
        EXPECT_EQ(burnStatusWord(c.seconds, c.lengths, c.overall, trackPercent), c.word);
        EXPECT_EQ(trackPercent, c.trackPercent);
    }
}

TEST(BurnRules, CommandLineRoundTrip) {
    BurnArguments a;
    a.drive = 'e';
    a.listFile = "/tmp/BRNabc.m3u";
    a.numbers = {1, 0, 8, 1, 0x40001234, 3};
    const std::string line = burnCommandLine("/opt/kinvo/vexahost", a);
    EXPECT_EQ(line, "\"/opt/kinvo/vexahost\" /BURN=e,\"/tmp/BRNabc.m3u\",1,0,8,1,1073746484,3");
    auto parsed = parseBurnArguments(line.substr(line.find("/BURN=") + 6));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->drive, 'e');
    EXPECT_EQ(parsed->listFile, a.listFile);
    EXPECT_EQ(parsed->numbers, a.numbers);
    // The numbers are found by commas from the name on: one in the name shifts them.
    parsed = parseBurnArguments("f,\"/tmp/a,b.m3u\",1,2,3,4,5,6");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->listFile, "/tmp/a,b.m3u");
    EXPECT_EQ(parsed->numbers, (std::array<int32_t, 6>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(parseBurnArguments("e,"));
}

TEST(BurnRules, ListFileLinesAndNumbers) {
    EXPECT_EQ(burnListText({"/a/one.mp3", "/b/two.ogg"}, {0, 2}),
              "#EXTM3U\n#EXTBRN:0\n/a/one.mp3\n#EXTBRN:2\n/b/two.ogg\n");
    const auto path = std::filesystem::temp_directory_path() /
                      ("burn_rules_" + std::to_string(::getpid()) + ".m3u");
    std::ofstream(path) << "#EXTM3U\n#EXTBRN:3\na\n #EXTBRN:9\n#EXTBRN:-2\nb\n#EXTBRN:5\nc\n";
    EXPECT_EQ(readBurnNumbers(path, 2), (std::vector<int32_t>{3, -2}));
    EXPECT_EQ(readBurnNumbers(path, 5), (std::vector<int32_t>{3, -2, 5, 0, 0}));
    EXPECT_EQ(readBurnNumbers(path, 150).size(), 99u);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace vexa
