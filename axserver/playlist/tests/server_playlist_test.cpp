// The playlist with its files, titles and pseudo-addresses, over a fake plug-in lookup, a fake
// download and a temporary folder.
#include "axserver/playlist/server_playlist.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "axserver/inputs/tests/recording_client.h"
#include "axserver/playlist/entry_names.h"

namespace vexa::playlist {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PlaylistFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "playlistXXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        fs::create_directories(dir / "sub");
        oldCwd = fs::current_path();
        fs::current_path(dir);
        services.fileInfo = [](std::string_view name, std::string& title, int32_t& ms) {
            if (name.empty()) {
                title = "Now_Playing%20Song";
                ms = 90999;
                return true;
            }
            if (!name.ends_with(".mp3")) {
                return false;
            }
            title = "T_" + std::string(fs::path(std::string(name)).filename());
            ms = 61500;
            return true;
        };
        services.downloadTempFile = (dir / "tmp").string();
        services.watchFolder = [this](const std::string& folder) { watched.push_back(folder); };
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        fs::remove_all(dir);
    }

    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }

    // "file|title|length" of every entry.
    std::vector<std::string> shown(const ServerPlaylist& list) const {
        std::vector<std::string> out;
        for (int32_t i = 0; i < list.entries().count(); ++i) {
            const Entry& e = *list.entries().entry(i);
            std::string file = e.file.starts_with(dir.string())
                                   ? "~" + e.file.substr(dir.string().size())
                                   : e.file;
            out.push_back(file + "|" + e.title + "|" + std::to_string(e.length));
        }
        return out;
    }

    fs::path dir;
    fs::path oldCwd;
    PlaylistServices services;
    std::vector<std::string> watched;
    testing::RecordingClient client;
};

TEST_F(PlaylistFiles, M3uEntriesResolveAgainstTheListsFolder) {
    write("sub/a b.mp3", "x");
    write("sub/Ünïcode ♫.mp3", "x");
    const std::string m3u = write("sub/list.m3u",
                                  "#EXTM3U\r\n#EXTINF:123,My Title\r\na b.mp3\r\nÜnïcode ♫.mp3\r\n"
                                  "missing.mp3\r\nhttp://198.51.100.1/live\r\nASF a b.mp3\r\n"
                                  "ASF http://198.51.100.1/asf\r\n");
    ServerPlaylist list(client, services);
    EXPECT_EQ(list.loadM3u(m3u), 0);
    EXPECT_THAT(shown(list),
                ElementsAre("~/sub/a b.mp3|My Title|123", "~/sub/Ünïcode ♫.mp3|T Ünïcode ♫.mp3|61",
                            "http://198.51.100.1/live|http://198.51.100.1/live|-1",
                            "~/sub/a b.mp3|T a b.mp3|61"));
    EXPECT_THAT(client.calls(), IsEmpty());
    EXPECT_THAT(watched, ElementsAre((dir / "sub").string()));  // once per folder
    EXPECT_TRUE(list.hasEntryWithFile((dir / "sub/a b.mp3").string()));
    EXPECT_FALSE(list.hasEntryWithFile((dir / "sub/A B.mp3").string()));
    EXPECT_TRUE(list.entries().changed());
}

TEST_F(PlaylistFiles, FilesThatGiveNothing) {
    write("sub/a.mp3", "x");
    struct Case {
        const char* what;
        std::string name;
        bool pls;
        std::vector<std::string> events;
        int32_t entries;  // afterwards
    };
    const Case cases[] = {
        {"missing M3U", "nothing.m3u", false, {}, 0},
        {"empty M3U", write("empty.m3u", ""), false, {"send event 106"}, 0},
        {"M3U of missing files", write("gone.m3u", "gone.mp3\n"), false, {"send event 105"}, 0},
        {"only an ASF line, which does not count",
         write("sub/asf.m3u", "ASF a.mp3\n"),
         false,
         {"send event 105"},
         1},
        {"PLS without a count",
         write("no.pls", "[playlist]\nFile1=sub/a.mp3\n"),
         true,
         {"send event 106"},
         1},
        {"missing PLS", "nothing.pls", true, {"send event 106"}, 1},
        {"PLS of missing files",
         write("gone.pls", "[playlist]\nNumberOfEntries=1\nFile1=x\n"),
         true,
         {"send event 105"},
         1},
    };
    ServerPlaylist list(client, services);
    size_t seen = 0;
    for (const Case& c : cases) {
        fs::current_path(dir);
        EXPECT_EQ(c.pls ? list.loadPls(c.name) : list.loadM3u(c.name), 1) << c.what;
        const auto calls = client.calls();
        EXPECT_EQ(std::vector<std::string>(calls.begin() + seen, calls.end()), c.events) << c.what;
        seen = calls.size();
        EXPECT_EQ(list.entries().count(), c.entries) << c.what;
    }
}

TEST_F(PlaylistFiles, PlsVersionsAndAppendByExtension) {
    write("sub/a.mp3", "x");
    write("sub/b.wav", "x");
    write("v2.pls",
          "[playlist]\nNumberOfEntries=3\nFile1=sub/a.mp3\nTitle1=Given\nLength1=7\n"
          "File2=sub/b.wav\nFile3=http://h/s\nTitle3=Radio\nVersion=2\n");
    write("sub/v1.PLS", "[playlist]\nNumberOfEntries=1\nFile1=a.mp3\nTitle1=Ignored\n");
    write("sub/x.M3U", "b.wav\n");
    ServerPlaylist list(client, services);
    list.append("  v2.pls\t");
    list.append("sub/v1.PLS");  // resolves against the current folder, now the list's
    list.append(" x.M3U \r\n");
    list.append("plain_name%20here.mp3");
    // Without a plug-in for it, a file's title is its name as the list gave it.
    EXPECT_THAT(shown(list),
                ElementsAre("~/sub/a.mp3|Given|7", "~/sub/b.wav|sub/b.wav|-1",
                            "http://h/s|Radio|-1", "~/sub/a.mp3|T a.mp3|61", "~/sub/b.wav|b.wav|-1",
                            "~/sub/plain_name%20here.mp3|T plain name here.mp3|61"));
    EXPECT_THAT(client.calls(), IsEmpty());
}

TEST_F(PlaylistFiles, RemotePlaylistsAreDownloadedAndTheFileDeleted) {
    write("sub/a.mp3", "x");
    std::vector<std::string> fetched;
    services.download = [&](const std::string& address, const std::string& file) {
        fetched.push_back(address);
        std::ofstream(file) << (address.ends_with(".m3u") ? (dir / "sub/a.mp3").string() + "\n"
                                                          : "[playlist]\nNumberOfEntries=1\n"
                                                            "File1=http://h/one\n");
        return address.find("fail") == std::string::npos ? 0 : 1;
    };
    ServerPlaylist list(client, services);
    EXPECT_EQ(list.loadM3u("http://h/list.m3u"), 0);
    EXPECT_EQ(list.loadPls("http://h/list.pls"), 0);
    EXPECT_EQ(list.loadM3u("http://h/fail.m3u"), 1);
    EXPECT_FALSE(fs::exists(services.downloadTempFile));
    EXPECT_THAT(fetched,
                ElementsAre("http://h/list.m3u", "http://h/list.pls", "http://h/fail.m3u"));
    EXPECT_THAT(shown(list), ElementsAre("~/sub/a.mp3|T a.mp3|61", "http://h/one|http://h/one|-1"));

    services.download = nullptr;  // no download module: as a failed download
    write("tmp", "left over");
    ServerPlaylist without(client, services);
    EXPECT_EQ(without.loadPls("http://h/list.pls"), 1);
    EXPECT_FALSE(fs::exists(services.downloadTempFile));
    EXPECT_THAT(client.calls(), IsEmpty());
}

TEST_F(PlaylistFiles, PseudoAddressesAndTitles) {
    ServerPlaylist list(client, services);
    EXPECT_EQ(list.selectedValue(), -1);
    list.addFile("select://300,'http://h/hi.mp3',56,'http://h/lo.mp3'");
    EXPECT_EQ(list.selectedValue(), 300);
    list.setSelectLimit(100);
    EXPECT_EQ(list.lookupTitle("select://300,'a',56,'b.mp3'"),
              (std::pair<std::string, int32_t>{"T_b.mp3", 61}));
    EXPECT_EQ(list.selectedValue(), -1);
    const ResolvedName ranged = list.resolve("range://10,20,select://1,'x'");
    EXPECT_EQ(ranged.target, "select://1,'x'");  // select first, then range
    EXPECT_TRUE(ranged.pseudo);
    EXPECT_EQ(list.range(), (std::pair<int32_t, int32_t>{10, 20}));
    const ResolvedName both = list.resolve("select://1,'range://3,4,y'");
    EXPECT_EQ(both.target, "y");
    EXPECT_EQ(list.range(), (std::pair<int32_t, int32_t>{3, 4}));
    const ResolvedName bad = list.resolve("range://10;20");
    EXPECT_FALSE(bad.pseudo);
    EXPECT_EQ(bad.target, "range://10;20");
    EXPECT_EQ(list.range(), (std::pair<int32_t, int32_t>{-1, -1}));
    list.resolve("select://1,'a'x");
    list.resolve("plain.mp3");
    EXPECT_THAT(client.calls(), ElementsAre("status 221 101", "status 221 204"));
    EXPECT_EQ(list.entries().entry(0)->title, "T hi.mp3");

    list.entries().setCurrent(0);
    list.refreshTitle();
    EXPECT_EQ(list.entries().entry(0)->title, "Now Playing Song");
    EXPECT_EQ(list.entries().entry(0)->length, 90);
}

TEST(EntryNames, AbsoluteNamesAndCleanTitles) {
    EXPECT_EQ(makeAbsolute("http://h/a b"), "http://h/a b");
    EXPECT_EQ(makeAbsolute("C:\\\\share\\x"), "C:\\\\share\\x");
    EXPECT_EQ(makeAbsolute("/m/./x/../a.mp3"), "/m/a.mp3");
    const std::string tooLong(9000, 'n');
    EXPECT_EQ(makeAbsolute(tooLong), tooLong);  // the full path would not fit: unchanged
    char folder[] = "/tmp/tildeXXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string tilde = std::string(folder) + "/LONGNA~1.MP3";
    std::ofstream(tilde) << "x";
    EXPECT_EQ(makeAbsolute(tilde), tilde);  // no other long name on this file system
    fs::remove_all(folder);

    EXPECT_EQ(cleanTitle("a_b%20c%2"), "a b c%2");
    EXPECT_EQ(cleanTitle(std::string(2000, 'x')).size(), 1023u);
    EXPECT_EQ(stripped(" \t\r\nx y\n "), "x y");
    EXPECT_TRUE(isNetworkName("\\\\srv:\\\\x"));
    EXPECT_FALSE(isNetworkName("/m/a:b"));
}

}  // namespace
}  // namespace vexa::playlist
