#include "axserver/inputs/lookup_key.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

struct KeyCase {
    const char* name;
    const char* key;
};

class LookupKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(LookupKey, OfName) {
    EXPECT_EQ(lookupKey(GetParam().name), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Examples, LookupKey,
                         ::testing::Values(
                             // File names.
                             KeyCase{"C:\\music\\song.Mp3", "Mp3"},
                             KeyCase{"/home/u/song.mp3", "mp3"}, KeyCase{"song.MP3", "MP3"},
                             KeyCase{"song.mp3x", "mp3x"}, KeyCase{"noextension", ""},
                             KeyCase{"C:\\dir.d\\file", ""}, KeyCase{"/home/u/dir.d/file", ""},
                             KeyCase{"archive.tar.gz", "gz"}, KeyCase{"trailingdot.", ""},
                             // A query text is no address: its "?" stays part of the extension.
                             KeyCase{"odd.mp3?x=1", "mp3?x=1"},
                             // Addresses.
                             KeyCase{"http://host.example/a.mp3?x=1", "mp3"},
                             KeyCase{"http://host.example/stream.aac?sid=1", "aac"},
                             KeyCase{"http://host.example/a.ogg", "ogg"},
                             // No dot after the server part: the text after the last dot anywhere.
                             KeyCase{"http://host.example/live", "example/live"},
                             KeyCase{"http://host.example/live?x=1", "example/live"},
                             // Several queries: cut at the last "?" until an extension is left.
                             // Only the first cut that leaves an extension counts, "?" and all.
                             KeyCase{"http://h/a.wma?b?c=1", "wma?b"},
                             KeyCase{"http://h/a.wma?b.x?c=1", "x"},
                             KeyCase{"http://h/a.wma?b=1", "wma"},
                             // An extension holding "&" or "=" without "?" has no key.
                             KeyCase{"http://h/a.mp3&x=1", ""}, KeyCase{"http://h/a.x=1", ""},
                             KeyCase{"uvox://h/play", ""}, KeyCase{"http://h\\a.mp3\\b", ""}));

TEST(LookupKey, IsCutAt127Characters) {
    std::string name = "file." + std::string(200, 'e');
    EXPECT_EQ(lookupKey(name), std::string(127, 'e'));
    EXPECT_EQ(extensionOf(name).size(), 200u);
}

TEST(EqualIgnoringCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(equalIgnoringCase("MoV", "mOv"));
    EXPECT_FALSE(equalIgnoringCase("mov", "movx"));
    EXPECT_FALSE(equalIgnoringCase("\xc3\x84", "\xc3\xa4"));
    EXPECT_FALSE(equalIgnoringCase("[", "{"));
}

}  // namespace
}  // namespace vexa
