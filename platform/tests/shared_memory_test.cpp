// Named shared memory and the named mutex table.
#include "platform/shared_memory.h"
#include "platform/named_mutex.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace win {
namespace {

namespace fs = std::filesystem;

std::string uniqueName(const char* stem) {
    return std::string(stem) + std::to_string(::getpid());
}

// A runtime folder of this test's own, so that no other process sweeps or meets its blocks.
class PrivateRuntimeRoot : public ::testing::Environment {
  public:
    static inline fs::path root;
    void SetUp() override {
        root = fs::temp_directory_path() / uniqueName("shm-test-");
        fs::create_directories(root);
        ::setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root); }
};
[[maybe_unused]] const auto* const kRoot =
    ::testing::AddGlobalTestEnvironment(new PrivateRuntimeRoot);

bool objectExists(const std::string& name) {
    struct stat st {};
    const auto path = SharedMemory::pathFor(name);
    return path && ::stat(path->c_str(), &st) == 0;
}

TEST(SharedMemory, CreatorOwnsTheNameOthersShareTheBytes) {
    const std::string name = uniqueName("Vexa_");
    EXPECT_FALSE(SharedMemory::open(name));
    {
        auto block = SharedMemory::create(name, 65540);
        ASSERT_TRUE(block);
        EXPECT_TRUE(block->isCreator());
        EXPECT_EQ(block->size(), 65540u);
        EXPECT_FALSE(SharedMemory::create(name, 16)) << "a live creator keeps its name";

        Mapping view = block->map();
        ASSERT_TRUE(view);
        EXPECT_EQ(view.data()[65539], 0);  // zero-filled
        std::memcpy(view.data(), "\xff\xff\xff\xff", 4);

        auto other = SharedMemory::open(name);
        ASSERT_TRUE(other);
        EXPECT_FALSE(other->isCreator());
        EXPECT_EQ(other->size(), 65540u);
        Mapping otherView = other->map();
        ASSERT_TRUE(otherView);
        EXPECT_EQ(std::memcmp(otherView.data(), "\xff\xff\xff\xff", 4), 0);
        otherView.data()[4] = 'x';
        EXPECT_EQ(view.data()[4], 'x');
        // An opener going leaves the object.
        otherView.unmap();
        other.reset();
        EXPECT_TRUE(objectExists(name));
    }
    EXPECT_FALSE(objectExists(name));  // the creator removed it

    EXPECT_FALSE(SharedMemory::create("a/b", 16));
    EXPECT_FALSE(SharedMemory::create("", 16));
    EXPECT_FALSE(SharedMemory::create(uniqueName("Zero"), 0));
    // The swap block's name ends in a line feed; it is an ordinary name here.
    const std::string swap = "VexaSwap_" + std::to_string(::getpid()) + "\n";
    auto block = SharedMemory::create(swap, 20);
    ASSERT_TRUE(block);
    EXPECT_TRUE(SharedMemory::open(swap));
}

TEST(SharedMemory, NamesLiveInTheUsersOwnFolderWhereNoOneElseCanSquat) {
    // What another user could squat before: a machine-wide object of the same name.
    const std::string name = uniqueName("Vexa_Squat");
    const int squat = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0444);
    ASSERT_GE(squat, 0);
    if (::getuid() == 0) {
        ASSERT_EQ(::fchown(squat, 65534, 65534), 0);  // as if another user's
    }
    ::close(squat);
    {
        auto block = SharedMemory::create(name, 64);
        ASSERT_TRUE(block) << "a machine-wide object does not block the name";
        auto other = SharedMemory::open(name);
        ASSERT_TRUE(other);
        Mapping view = block->map();
        Mapping otherView = other->map();
        ASSERT_TRUE(view && otherView);
        view.data()[0] = 7;
        EXPECT_EQ(otherView.data()[0], 7);

        const fs::path file = *SharedMemory::pathFor(name);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        ASSERT_EQ(::lstat(file.parent_path().c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, ::getuid());
    }
    ::shm_unlink(("/" + name).c_str());

    // A runtime folder that is not ours (here a symbolic link) is refused, with no fallback to
    // a machine-wide namespace.
    const fs::path refused = PrivateRuntimeRoot::root / "refused";
    fs::create_directories(refused / "elsewhere");
    fs::create_directory_symlink(refused / "elsewhere", refused / "sonari-win");
    ::setenv("XDG_RUNTIME_DIR", refused.c_str(), 1);
    EXPECT_FALSE(SharedMemory::create(name, 64));
    EXPECT_FALSE(SharedMemory::open(name));
    ::setenv("XDG_RUNTIME_DIR", PrivateRuntimeRoot::root.c_str(), 1);
    EXPECT_TRUE(fs::is_empty(refused / "elsewhere"));
    EXPECT_NE(::shm_unlink(("/" + name).c_str()), 0) << "nothing went to /dev/shm";
}

TEST(SharedMemory, BlocksOfAKilledCreatorAreRemovedWhenMet) {
    const std::string opened = uniqueName("Killed_Open");
    const std::string created = uniqueName("Killed_Create");
    const std::string swept = uniqueName("Killed_Swept");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto a = SharedMemory::create(opened, 65540);
        auto b = SharedMemory::create(created, 65540);
        auto c = SharedMemory::create(swept, 16);
        const char ok = a && b && c ? 1 : 0;
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &ok, 1);
        for (;;) {
            ::pause();
        }
    }
    ::close(ready[1]);
    char ok = 0;
    const ssize_t n = ::read(ready[0], &ok, 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(n, 1);
    ASSERT_EQ(ok, 1);
    ASSERT_TRUE(objectExists(opened) && objectExists(created) && objectExists(swept));

    EXPECT_FALSE(SharedMemory::open(opened));
    EXPECT_FALSE(objectExists(opened));

    auto block = SharedMemory::create(created, 32);
    ASSERT_TRUE(block) << "the name is usable again";
    EXPECT_EQ(block->size(), 32u);
    EXPECT_TRUE(SharedMemory::open(created));
    EXPECT_FALSE(objectExists(swept)) << "create sweeps the stale blocks it meets";
}

TEST(SharedMemory, MovedObjectsKeepOneOwner) {
    const std::string name = uniqueName("Moved");
    auto block = SharedMemory::create(name, 64);
    ASSERT_TRUE(block);
    SharedMemory moved = std::move(*block);
    block.reset();  // the moved-from object must not remove the name
    EXPECT_TRUE(objectExists(name));
    Mapping view = moved.map();
    Mapping other = std::move(view);
    EXPECT_FALSE(view);
    EXPECT_TRUE(other);
}

TEST(NamedMutex, OneMutexPerNameWhileHeld) {
    auto a = namedMutex("VexaLock_1");
    auto b = namedMutex("VexaLock_1");
    auto c = namedMutex("VexaLock_2");
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    // Recursive for its holder, exclusive for others.
    std::lock_guard outer(*a);
    std::lock_guard inner(*b);
    bool otherGotIt = true;
    std::thread([&] { otherGotIt = a->try_lock(); }).join();
    EXPECT_FALSE(otherGotIt);
}

}  // namespace
}  // namespace win
