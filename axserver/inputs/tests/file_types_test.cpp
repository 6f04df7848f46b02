#include "axserver/inputs/file_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

using ::testing::ElementsAre;

TEST(FileTypes, PairsInOrder) {
    const char types[] = "MOV;QT;M4P\0QuickTime File (*.MOV;*.QT;*.M4P)\0mp3\0MPEG\0";
    auto pairs = fileTypePairs(types);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].extensions, "MOV;QT;M4P");
    EXPECT_EQ(pairs[0].description, "QuickTime File (*.MOV;*.QT;*.M4P)");
    EXPECT_EQ(pairs[1].extensions, "mp3");
    EXPECT_EQ(pairs[1].description, "MPEG");
    EXPECT_THAT(declaredExtensions(types), ElementsAre("MOV", "QT", "M4P", "mp3"));
}

TEST(FileTypes, EmptyNullAndUnpairedLists) {
    EXPECT_TRUE(fileTypePairs(nullptr).empty());
    EXPECT_TRUE(fileTypePairs("").empty());
    const char unpaired[] = "aac\0";
    ASSERT_EQ(fileTypePairs(unpaired).size(), 1u);
    EXPECT_EQ(fileTypePairs(unpaired)[0].description, "");
    EXPECT_THAT(declaredExtensions("a;;b;\0D\0"), ElementsAre("a", "b"));
}

struct MatchCase {
    const char* key;
    bool matches;
};

class DeclaresExtension : public ::testing::TestWithParam<MatchCase> {};

TEST_P(DeclaresExtension, AgainstAList) {
    const char types[] = "mp3;MOV;QT;M4P;abcdefghijklmnopqrst\0Files\0";
    EXPECT_EQ(declaresExtension(types, GetParam().key), GetParam().matches) << GetParam().key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DeclaresExtension,
    ::testing::Values(MatchCase{"mp3", true}, MatchCase{"MP3", true}, MatchCase{"Mp3", true},
                      MatchCase{"mp3x", false}, MatchCase{"mp", false}, MatchCase{"qt", true},
                      MatchCase{"m4p", true}, MatchCase{"", false},
                      // A declared extension counts with its first 15 characters only.
                      MatchCase{"abcdefghijklmno", true}, MatchCase{"ABCDEFGHIJKLMNO", true},
                      MatchCase{"abcdefghijklmnopqrst", false},
                      MatchCase{"abcdefghijklmnop", false}));

}  // namespace
}  // namespace vexa
