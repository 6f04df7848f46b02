// libburn's owners without a drive: tracks over sources, and an address that is no drive.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lib/burn/disc.h"
#include "lib/burn/drive.h"
#include "lib/burn/library.h"

namespace kinvo::burn {
namespace {

TEST(Burn, AudioTrackCountsWholeSectorsOfItsSource) {
    Library library;
    ASSERT_TRUE(library.ok());
    Library second;  // shares the state; both release it
    EXPECT_TRUE(second.ok());
    struct Case {
        off_t bytes;
        int sectors;
    };
    for (const Case& c :
         {Case{kAudioSectorBytes * 10, 10}, Case{kAudioSectorBytes * 10 + 4, 11}, Case{4, 1}}) {
        SCOPED_TRACE(c.bytes);
        char name[] = "/tmp/kinvo_burn_testXXXXXX";
        int fd = ::mkstemp(name);
        ASSERT_GE(fd, 0);
        ::unlink(name);
        std::vector<char> bytes(static_cast<size_t>(c.bytes), 1);
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), c.bytes);
        ::lseek(fd, 0, SEEK_SET);
        auto source = Source::fromDescriptor(fd, c.bytes);
        ASSERT_TRUE(source);
        auto track = Track::audio(*source, 0);
        ASSERT_TRUE(track);
        auto disc = Disc::create();
        ASSERT_TRUE(disc);
        EXPECT_TRUE(disc->add(*track));
        EXPECT_EQ(track->sectors(), c.sectors);
    }
}

TEST(Burn, AnAddressThatIsNoDriveIsNotGrabbed) {
    Library library;
    ASSERT_TRUE(library.ok());
    EXPECT_FALSE(Drive::grab("/nonexistent/drive"));
}

}  // namespace
}  // namespace kinvo::burn
