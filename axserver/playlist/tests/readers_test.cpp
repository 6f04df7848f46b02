// The M3U and PLS readers on playlists as other tools write them, and on hostile ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "axserver/playlist/m3u_reader.h"
#include "axserver/playlist/pls_reader.h"

namespace vexa::playlist {
namespace {

// Every entry the reader gives for `text`, shown as "name|title|seconds" ("asf:" in front of an
// ASF line's name).
std::vector<std::string> m3uEntries(const std::string& text) {
    std::FILE* file = ::fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    std::vector<std::string> shown;
    if (text.empty() || file == nullptr) {
        return shown;
    }
    M3uParser parser;
    std::string line;
    for (LineRead read; (read = readLine(file, line)) != LineRead::kEnd;) {
        if (read == LineRead::kTooLong) {
            parser.skippedLine();
        } else if (auto e = parser.line(line)) {
            shown.push_back((e->asf ? "asf:" : "") + e->name + "|" + e->title + "|" +
                            std::to_string(e->seconds));
        }
    }
    std::fclose(file);
    return shown;
}

using Lines = std::vector<std::string>;

TEST(M3uReader, PlaylistsOfOtherTools) {
    struct Case {
        const char* what;
        std::string text;
        Lines entries;
    };
    const Case cases[] = {
        {"extended list in the style of public IPTV lists, Windows line ends",
         "#EXTM3U x-tvg-url=\"http://epg.example/guide.xml\"\r\n"
         "#EXTINF:-1 tvg-id=\"news.example\" tvg-logo=\"http://img.example/n.png\" "
         "group-title=\"News\",News 24\r\n"
         "http://198.51.100.4/live/news.m3u8\r\n"
         "\r\n"
         "#EXTINF:-1,Music Télé\r\n"
         "http://198.51.100.4/live/music.m3u8\r\n",
         {"http://198.51.100.4/live/news.m3u8|News 24|-1",
          "http://198.51.100.4/live/music.m3u8|Music Télé|-1"}},
        {"title and length, then a blank line that drops a pending title",
         "#EXTM3U\n#EXTINF:123,My Title\nsong.mp3\n#EXTINF:5,Gone\n\n  \tsecond.mp3\n",
         {"song.mp3|My Title|123", "second.mp3||-1"}},
        {"#EXTINF without #EXTM3U before it is a comment",
         "#EXTINF:123,My Title\nsong.mp3\n#EXTM3U\n",
         {"song.mp3||-1"}},
        {"#EXTINF with nothing after the number", "#EXTM3U\n#EXTINF:77\na.mp3\n", {"a.mp3||-1"}},
        {"burn list lines are comments",
         "#EXTM3U\n#EXTBRN:1\n#EXTINF:9,T\n/m/a.wav\n",
         {"/m/a.wav|T|9"}},
        {"ASF lines", "ASF /m/a.asf\nASF \nASF\n", {"asf:/m/a.asf||-1", "ASF ||-1", "ASF||-1"}},
        {"a last line without a line feed is read", "a.mp3\r\nb.mp3\r", {"a.mp3||-1", "b.mp3||-1"}},
        {"a comma inside a quoted attribute is not the title's",
         "#EXTM3U\n#EXTINF:-1 group-title=\"a,b\",Name\nx.mp3\n#EXTINF:3 T\ny.mp3\n",
         {"x.mp3|Name|-1", "y.mp3|T|3"}},
        {"a zero byte ends the name", std::string("a.mp3\0junk\n", 11), {"a.mp3||-1"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m3uEntries(c.text), c.entries) << c.what;
    }
}

TEST(M3uReader, LinesAtAndBeyondTheReadBuffer) {
    const std::string longest(kMaxLineLength - 1, 'x');  // with its line feed: the buffer
    const std::string tooLong(kMaxLineLength, 'y');
    // A line too long to read is dropped whole, with the title pending before it.
    EXPECT_EQ(m3uEntries("#EXTM3U\n#EXTINF:1,T\n" + tooLong + "\nnext\n" + longest + "\r\n"),
              (Lines{"next||-1", longest + "||-1"}));
    EXPECT_EQ(m3uEntries(std::string(1 << 20, 'z') + "\nafter\n"), Lines{"after||-1"});
    // A pending title keeps at most 8195 characters.
    const auto entries = m3uEntries("#EXTM3U\n#EXTINF:1," + std::string(8200, 't') + "\nfile\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].size(), std::string("file||1").size() + kMaxPendingTitle);
}

TEST(M3uReader, LeadingInt) {
    EXPECT_EQ(leadingInt("123,x"), 123);
    EXPECT_EQ(leadingInt(" -1 tvg"), -1);
    EXPECT_EQ(leadingInt("abc"), 0);
    EXPECT_EQ(leadingInt("99999999999"), 2147483647);
    EXPECT_EQ(leadingInt("-99999999999"), -2147483647 - 1);
}

std::vector<std::string> plsEntries(const std::string& text, int32_t* declared = nullptr) {
    const PlsContents contents = readPls(win::ProfileFile::parse(text));
    if (declared != nullptr) {
        *declared = contents.declared;
    }
    std::vector<std::string> shown;
    for (const PlsEntry& e : contents.entries) {
        shown.push_back(e.file + "|" + e.title + "|" + std::to_string(e.seconds));
    }
    return shown;
}

TEST(PlsReader, VersionsCountsAndKeys) {
    struct Case {
        const char* what;
        std::string text;
        int32_t declared;
        Lines entries;
    };
    const Case cases[] = {
        {"version 2 from a streaming directory",
         "[playlist]\r\nnumberofentries=2\r\nFile1=http://198.51.100.7:8000/\r\nTitle1=(#1) "
         "Jazz = Cool\r\nLength1=-1\r\nFile2=relative/b.mp3\r\nLength2=215\r\nVersion=2\r\n",
         2,
         {"http://198.51.100.7:8000/|(#1) Jazz = Cool|-1", "relative/b.mp3||215"}},
        {"version 1 ignores titles and lengths",
         "[Playlist]\nNumberOfEntries=1\nFile1=/m/a.mp3\nTitle1=A\nLength1=3\n",
         1,
         {"/m/a.mp3||-1"}},
        {"entries past the count are not read, empty ones skipped",
         "[playlist]\nNumberOfEntries=2\nFile1=\nFile2=/m/b\nFile3=/m/c\n",
         2,
         {"/m/b||-1"}},
        {"no count", "[playlist]\nFile1=/m/a\n", -1, {}},
        {"a count of zero", "[playlist]\nNumberOfEntries=0\nFile1=/m/a\n", 0, {}},
        {"a huge count with a sparse key",
         "[playlist]\nNumberOfEntries=2000000000\nFile1=/a\n"
         "File1999999999=/far\nfile01=/not-a-key\n",
         2000000000,
         {"/a||-1", "/far||-1"}},
        {"other sections", "[other]\nNumberOfEntries=1\nFile1=/m/a\n", -1, {}},
    };
    for (const Case& c : cases) {
        int32_t declared = 0;
        EXPECT_EQ(plsEntries(c.text, &declared), c.entries) << c.what;
        EXPECT_EQ(declared, c.declared) << c.what;
    }
    // A file name keeps its 8195 characters.
    const auto cut = plsEntries("[playlist]\nNumberOfEntries=1\nFile1=" + std::string(9000, 'f'));
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].size(), kMaxPlsFile + std::string("||-1").size());
}

}  // namespace
}  // namespace vexa::playlist
