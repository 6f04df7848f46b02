// Wildcard search, paths and temporary files.
#include "platform/file_search.h"
#include "platform/paths.h"
#include "platform/temp_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace win {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "filestestXXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

TEST(FileSearch, MatchesWithoutRegardToCaseInNameOrder) {
    TempDir dir;
    for (const char* name : {"in_zeta.so", "IN_ALPHA.SO", "in_Beta.so", "in_beta.txt", "out_q.so",
                             "in_.so", "b", "A"}) {
        std::ofstream(dir.path / name) << "x";
    }
    fs::create_directory(dir.path / "in_folder.so");
    auto names = [&](const char* pattern) {
        std::vector<std::string> out;
        for (const FoundFile& f : findFiles(dir.path.string(), pattern)) {
            out.push_back(f.name + (f.isFolder ? "/" : ""));
        }
        return out;
    };
    EXPECT_EQ(names("in_*.so"), (std::vector<std::string>{"in_.so", "IN_ALPHA.SO", "in_Beta.so",
                                                          "in_folder.so/", "in_zeta.so"}));
    EXPECT_EQ(names("IN_*.DLL"), std::vector<std::string>{});
    EXPECT_EQ(names("?"), (std::vector<std::string>{"A", "b"}));
    EXPECT_EQ(names("*").size(), 9u);
    EXPECT_TRUE(findFiles((dir.path / "missing").string(), "*").empty());
}

TEST(FileSearch, WildcardRule) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*", "", true},
        {"*", "anything", true},
        {"?", "", false},
        {"a?c", "ABC", true},
        {"a?c", "ac", false},
        {"*.mp3", "song.MP3", true},
        {"*.mp3", "song.mp3x", false},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"**x", "yx", true},
        {"in_*.so", "in_.so", true},
        {"x", "X", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
    }
}

TEST(Paths, FullPathAndParts) {
    const std::string cwd = fs::current_path().string();
    struct Case {
        const char* name;
        std::string full;
    };
    const Case cases[] = {
        {"/a/b/../c/./d", "/a/c/d"},
        {"/a\\b\\c.mp3", "/a/b/c.mp3"},
        {"song.mp3", cwd + "/song.mp3"},
        {"../x", fs::current_path().parent_path().string() + "/x"},
        {"/a/b/", "/a/b/"},
        {"/../..", "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fullPath(c.name), c.full) << c.name;
    }
    EXPECT_EQ(folderOf("/opt/kinvo/bin/vexahost"), "/opt/kinvo/bin");
    EXPECT_EQ(folderOf("C:\\Prog\\vexahost.exe"), "C:\\Prog");
    EXPECT_EQ(folderOf("vexahost"), "");
    EXPECT_EQ(fileNameOf("/a/b\\c.dll"), "c.dll");

    TempDir dir;
    const std::string file = (dir.path / "Long Name~1.txt").string();
    std::ofstream(file) << "x";
    EXPECT_EQ(longName(file), file);
    EXPECT_EQ(longName(file + ".missing"), std::nullopt);
    EXPECT_TRUE(fileExists(file));
}

TEST(TempFiles, UniqueNamesWithPrefixInTheFolder) {
    const std::string folder = tempFolder();
    EXPECT_EQ(folder.back(), '/');
    TempDir dir;
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        const auto name = uniqueTempFile(dir.path.string(), "vxb");
        ASSERT_TRUE(name);
        EXPECT_EQ(fs::path(*name).parent_path(), dir.path);
        EXPECT_EQ(fs::path(*name).filename().string().rfind("vxb", 0), 0u);
        struct stat st {};
        ASSERT_EQ(::stat(name->c_str(), &st), 0);  // created, so nobody else takes the name
        EXPECT_EQ(st.st_mode & 077, 0u);
        names.insert(*name);
    }
    EXPECT_EQ(names.size(), 20u);
    EXPECT_FALSE(uniqueTempFile(dir.path.string(), "a/b"));
    EXPECT_FALSE(uniqueTempFile((dir.path / "missing").string(), "x"));
}

}  // namespace
}  // namespace win
