// The profile-file reader on playlists as real programs write them.
#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace win {
namespace {

// As a streaming directory serves it: lower-case count, CR LF, Version last.
constexpr const char* kStreamPls =
    "[playlist]\r\n"
    "numberofentries=2\r\n"
    "File1=http://198.51.100.7:8000/\r\n"
    "Title1=(#1 - 312/5000) Smooth Radio: Jazz = Cool\r\n"
    "Length1=-1\r\n"
    "File2=http://198.51.100.8:8010/stream\r\n"
    "Title2=(#2 - 5/200) Smooth Radio\r\n"
    "Length2=-1\r\n"
    "Version=2\r\n";

// As a desktop player saves a local list: byte-order mark, capital section, blanks, quotes.
constexpr const char* kDesktopPls =
    "\xEF\xBB\xBF[Playlist]\n"
    "; saved by a player\n"
    "File1 = /home/me/Music/01 - Intro.mp3\n"
    "Title1 = \"Artist - Intro\"\n"
    "Length1 = 215\n"
    "file2=/home/me/Music/02.ogg\n"
    "Length2=3:05\n"
    "Length3=\n"
    "Length4=abc\n"
    "Length5=0x1F\n"
    "NumberOfEntries=2\n"
    "NUMBEROFENTRIES=9\n"
    "[Other]\n"
    "Version=7\n"
    "[playlist]\n"
    "Version=3\n";

TEST(ProfileFile, StreamingDirectoryPlaylist) {
    const ProfileFile pls = ProfileFile::parse(kStreamPls);
    EXPECT_EQ(pls.getInt("playlist", "NumberOfEntries", -1), 2);
    EXPECT_EQ(pls.getInt("playlist", "Version", 1), 2);
    EXPECT_EQ(pls.getString("playlist", "File1", ""), "http://198.51.100.7:8000/");
    // Only the first "=" splits; the title keeps the rest.
    EXPECT_EQ(pls.getString("playlist", "Title1", ""), "(#1 - 312/5000) Smooth Radio: Jazz = Cool");
    EXPECT_EQ(pls.getInt("playlist", "Length2", 0), -1);
    EXPECT_EQ(pls.getString("playlist", "File3", "none"), "none");
    EXPECT_EQ(pls.getString("other", "File1", "none"), "none");
}

TEST(ProfileFile, DesktopPlaylistRules) {
    const ProfileFile pls = ProfileFile::parse(kDesktopPls);
    struct Case {
        const char* key;
        const char* text;  // getString with default "-"
        int number;        // getInt with default -1
    };
    const Case cases[] = {
        {"File1", "/home/me/Music/01 - Intro.mp3", 0},  // blanks around the key and value go
        {"Title1", "Artist - Intro", 0},                // one pair of quotes goes
        {"Length1", "215", 215},
        {"FILE2", "/home/me/Music/02.ogg", 0},  // keys without regard to case
        {"Length2", "3:05", 3},                 // read up to the first non-digit
        {"Length3", "", -1},                    // empty: the default number
        {"Length4", "abc", 0},                  // not a number: 0
        {"Length5", "0x1F", 31},
        {"NumberOfEntries", "2", 2},  // first match wins
        {"Version", "3", 3},          // the second [playlist] still counts
        {"Missing", "-", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pls.getString("PLAYLIST", c.key, "-"), c.text) << c.key;
        EXPECT_EQ(pls.getInt("playlist", c.key, -1), c.number) << c.key;
    }
    EXPECT_EQ(pls.getInt("other", "version", 1), 7);

    // The section as a whole: every line of both [playlist] sections in file order, trimmed and
    // unquoted as value() reads them.
    const auto lines = pls.section(" Playlist ");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[1], (std::pair<std::string, std::string>{"Title1", "Artist - Intro"}));
    EXPECT_EQ(lines.back(), (std::pair<std::string, std::string>{"Version", "3"}));
}

TEST(ProfileFile, FilesBuffersAndDefaults) {
    char path[] = "/tmp/profiletestXXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string longValue(9000, 'x');
    const std::string text = std::string(kStreamPls) + "[long]\nvalue=" + longValue + "\n";
    ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fd);
    EXPECT_EQ(getPrivateProfileInt("playlist", "numberOfEntries", -1, path), 2);
    EXPECT_EQ(getPrivateProfileString("playlist", "File2", "", path),
              "http://198.51.100.8:8010/stream");
    // A buffer of 8196 bytes holds 8195 characters.
    EXPECT_EQ(getPrivateProfileString("long", "value", "", path, 8196).size(), 8195u);
    std::remove(path);
    EXPECT_EQ(getPrivateProfileInt("playlist", "NumberOfEntries", -1, path), -1);
    EXPECT_EQ(getPrivateProfileString("playlist", "File1", "gone", path), "gone");
}

TEST(ProfileFile, IntegerRule) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {{"42", 42},        {"  -17 ", -17}, {"+5", 5},
                          {"12abc", 12},     {"abc", 0},      {"", 99},
                          {"0x10", 16},      {"-0x10", -16},  {"2147483647", 2147483647},
                          {"4294967295", -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(profileInt(c.text, 99), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace win
