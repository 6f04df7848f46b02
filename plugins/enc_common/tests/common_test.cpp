// The shared pieces the plug-in tests cannot reach alone: the options file keeps what it does not
// own, and late writes to handed-out bytes become patches of the closed file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "plugins/enc_common/byte_sink.h"
#include "plugins/enc_common/file_patch.h"
#include "plugins/enc_common/ini_file.h"

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(IniFileTest, WritesOneValueAndKeepsEverythingElse) {
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        {"", "MP3 ", "bitrate", "192", "[MP3 ]\nbitrate=192\n"},
        {"; ours\n[MP3]\nbitrate=1\n", "MP3 ", "bitrate", "192",
         "; ours\n[MP3]\nbitrate=1\n\n[MP3 ]\nbitrate=192\n"},
        {"[FLAC]\ncompression_level = 2\nother=x\n\n[OGG ]\nquality=1\n", "FLAC",
         "compression_level", "8", "[FLAC]\ncompression_level=8\nother=x\n\n[OGG ]\nquality=1\n"},
        {"[OPUS]\nbitrate=64\n; note\n\n[Main]\nx=1\n", "OPUS", "complexity", "5",
         "[OPUS]\nbitrate=64\ncomplexity=5\n; note\n\n[Main]\nx=1\n"},
    };
    const fs::path path = fs::temp_directory_path() / ("ini_test_" + std::to_string(::getpid()));
    for (const Case& c : cases) {
        fs::remove(path);
        if (*c.before != '\0') {
            std::ofstream(path, std::ios::binary) << c.before;
        }
        ASSERT_TRUE(kinvo::enc::writeIniValue(path.string(), c.section, c.key, c.value));
        EXPECT_EQ(readAll(path), c.after);
        EXPECT_EQ(kinvo::enc::readIniValue(path.string(), c.section, c.key), c.value);
    }
    fs::remove(path);
    EXPECT_FALSE(kinvo::enc::writeIniValue("/nonexistent-folder/vexa.ini", "FLAC", "a", "1"));
}

TEST(ByteSinkTest, LateWritesChangeWaitingBytesOrBecomePatches) {
    kinvo::enc::ByteSink sink;
    const auto put = [&](const std::string& text) {
        sink.write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
    put("HEADER--");
    std::string file(6, '\0');
    ASSERT_EQ(sink.take(reinterpret_cast<uint8_t*>(file.data()), 6), 6u);  // "HEADER" is out
    put("body");
    sink.seek(4, SEEK_SET);
    put("ER++bo");  // "ER" over handed-out bytes, "++bo" over waiting ones
    sink.seek(0, SEEK_END);
    put("!");
    std::string rest(sink.pendingBytes(), '\0');
    sink.take(reinterpret_cast<uint8_t*>(rest.data()), rest.size());
    EXPECT_EQ(file + rest, "HEADER++body!");
    ASSERT_EQ(sink.patches().size(), 1u);

    const fs::path path = fs::temp_directory_path() / ("sink_test_" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary) << "HEADXX";  // the host wrote less than it was given
    sink.seek(0, SEEK_SET);
    put("HE");
    EXPECT_TRUE(kinvo::enc::applyPatches(path.string(), sink.patches()));
    EXPECT_EQ(readAll(path), "HEADER");
    fs::remove(path);
}

}  // namespace
