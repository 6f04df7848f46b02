// Named shared memory and the named mutex table.
#include "platform/shared_memory.h"
#include "platform/named_mutex.h"
#include "platform/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

namespace win {
namespace {

std::string uniqueName(const char* stem) {
    return std::string(stem) + std::to_string(::getpid());
}

bool objectExists(const std::string& name) {
    struct stat st {};
    return ::stat(("/dev/shm/" + name).c_str(), &st) == 0;
}

TEST(SharedMemory, CreatorOwnsTheNameOthersShareTheBytes) {
    const std::string name = uniqueName("Vexa_");
    EXPECT_FALSE(SharedMemory::open(name));
    {
        auto block = SharedMemory::create(name, 65540);
        ASSERT_TRUE(block);
        EXPECT_TRUE(block->isCreator());
        EXPECT_EQ(block->size(), 65540u);
        struct stat st {};
        ASSERT_EQ(::stat(("/dev/shm/" + name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);

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
}

TEST(SharedMemory, NamesAreCheckedAndLeftoversTakenOver) {
    EXPECT_FALSE(SharedMemory::create("a/b", 16));
    EXPECT_FALSE(SharedMemory::create("", 16));
    EXPECT_FALSE(SharedMemory::create(uniqueName("Zero"), 0));

    // The swap block's name ends in a line feed; it is an ordinary name here.
    const std::string swap = "VexaSwap_" + std::to_string(::getpid()) + "\n";
    auto block = SharedMemory::create(swap, 20);
    ASSERT_TRUE(block);
    EXPECT_TRUE(SharedMemory::open(swap));

    // A leftover of an ended process: taken over, zeroed, sized, removed by its new owner.
    const std::string name = uniqueName("Leftover");
    const int fd = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 8), 0);
    ASSERT_EQ(::write(fd, "stale!!!", 8), 8);
    ::close(fd);
    {
        auto taken = SharedMemory::create(name, 4096);
        ASSERT_TRUE(taken);
        EXPECT_TRUE(taken->isCreator());
        Mapping view = taken->map();
        ASSERT_TRUE(view);
        EXPECT_EQ(view.size(), 4096u);
        EXPECT_EQ(view.data()[0], 0);
    }
    EXPECT_FALSE(objectExists(name));
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
