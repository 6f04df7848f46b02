// Which drive a letter names: the registry's value first, then the optical drives in order.
#include <gtest/gtest.h>

#include <map>

#include "runtimes/primo/backend/drive_map.h"

namespace primo {
namespace {

TEST(DriveMap, LettersNameImageFoldersDevicesOrTheDrivesFound) {
    const std::map<char, std::string> registry = {
        {'I', "image:/srv/images"}, {'J', "/dev/sr7"}, {'K', ""}, {'L', "image:"}};
    int scans = 0;
    DriveLookups lookups{[&](char letter) -> std::optional<std::string> {
                             auto it = registry.find(letter);
                             return it == registry.end() ? std::nullopt : std::optional(it->second);
                         },
                         [&] {
                             ++scans;
                             return std::vector<std::string>{"/dev/sr0", "/dev/sr1"};
                         }};
    using K = DriveTarget::Kind;
    struct Case {
        uint32_t letter;
        K kind;
        const char* path;
    };
    const Case cases[] = {
        {'i', K::kImage, "/srv/images"},
        {'I', K::kImage, "/srv/images"},
        {'J', K::kDevice, "/dev/sr7"},
        {'K', K::kNone, ""},
        {'L', K::kNone, ""},
        {'D', K::kDevice, "/dev/sr0"},
        {'e', K::kDevice, "/dev/sr1"},
        {'F', K::kNone, ""},
        {'C', K::kNone, ""},
        {'1', K::kNone, ""},
        {0x141, K::kNone, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        DriveTarget target = resolveDrive(c.letter, lookups);
        EXPECT_EQ(target.kind, c.kind);
        EXPECT_EQ(target.path, c.path);
    }
    EXPECT_EQ(scans, 3);  // D, e and F: a configured letter never scans
}

}  // namespace
}  // namespace primo
