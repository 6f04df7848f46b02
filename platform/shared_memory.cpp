#include "platform/shared_memory.h"

#include "platform/debug_trace.h"
#include "platform/runtime_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace win {
namespace {

// Block files are "m" + name in the runtime folder, beside the message layer's files.
constexpr char kPrefix = 'm';

bool validName(std::string_view name) {
    return !name.empty() && name.find('/') == std::string_view::npos && name.size() <= 250;
}

void trace(const char* what, std::string_view name) {
    debugTrace("shared memory: " + std::string(what) + " \"" + std::string(name) + "\"\n");
}

// The creator holds this lock on its file for the object's life, so a lock that can be taken
// means the creator ended.
bool tryLock(int fd) {
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// True while `path` still names the file open as `fd`.
bool stillNamed(const std::string& path, int fd) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Removes the block file at `path` when its creator ended; false when a live creator holds it
// (or it is no block file). A name is only ever removed by the holder of its file's lock while
// the name still refers to that file, so a new creator's file of the same name is never lost.
bool removeIfStale(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd) {
        return errno == ENOENT;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || !tryLock(fd.get())) {
        return false;
    }
    if (stillNamed(path, fd.get())) {
        ::unlink(path.c_str());
    }
    return true;
}

void removeStaleBlocks(const std::string& dir) {
    std::vector<std::string> blocks;
    if (DIR* folder = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(folder)) {
            if (entry->d_name[0] == kPrefix) {
                blocks.push_back(dir + "/" + entry->d_name);
            }
        }
        ::closedir(folder);
    }
    for (const std::string& path : blocks) {
        removeIfStale(path);
    }
}

// A file in the folder with no public name yet, locked, mode 0600, `size` zero bytes: it gets its
// name only when complete, so no one meets it unlocked or short. Where the file system has no
// unnamed files, it is made under a temporary name ("." + random) that `giveName` removes.
struct BlockFile {
    UniqueFd fd;
    std::string temporaryName;  // empty for an unnamed file
};

BlockFile newBlockFile(const std::string& dir, std::size_t size) {
    BlockFile file{UniqueFd(::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600)), {}};
    if (!file.fd && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::string pattern = dir + "/.mXXXXXX";
        file.fd = UniqueFd(::mkostemp(pattern.data(), O_CLOEXEC));
        if (file.fd) {
            file.temporaryName = pattern;
        }
    }
    if (!file.fd || !tryLock(file.fd.get()) || ::fchmod(file.fd.get(), 0600) != 0 ||
        ::ftruncate(file.fd.get(), static_cast<off_t>(size)) != 0) {
        if (!file.temporaryName.empty()) {
            ::unlink(file.temporaryName.c_str());
        }
        return BlockFile{};
    }
    return file;
}

bool giveName(int fd, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace

Mapping::Mapping(Mapping&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

Mapping& Mapping::operator=(Mapping&& other) noexcept {
    if (this != &other) {
        unmap();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void Mapping::unmap() noexcept {
    if (data_ != nullptr) {
        ::munmap(data_, size_);
        data_ = nullptr;
        size_ = 0;
    }
}

std::optional<std::string> SharedMemory::pathFor(std::string_view name) {
    if (!validName(name)) {
        return std::nullopt;
    }
    const std::optional<std::string> dir = detail::openRuntimeDir();
    if (!dir) {
        trace("no usable runtime folder for", name);
        return std::nullopt;
    }
    return *dir + "/" + kPrefix + std::string(name);
}

std::optional<SharedMemory> SharedMemory::create(std::string_view name, std::size_t size) {
    const std::optional<std::string> path = pathFor(name);
    if (!path || size == 0) {
        return std::nullopt;
    }
    const std::string dir = path->substr(0, path->rfind('/'));
    removeStaleBlocks(dir);
    BlockFile file = newBlockFile(dir, size);
    if (!file.fd) {
        trace("cannot make the file of", name);
        return std::nullopt;
    }
    // The temporary name, if any, goes whatever the outcome.
    struct RemoveTemporary {
        const std::string& name;
        ~RemoveTemporary() {
            if (!name.empty()) {
                ::unlink(name.c_str());
            }
        }
    } removeTemporary{file.temporaryName};
    // The name may be held by a block whose creator ended since the sweep, or be taken over by
    // another creator meanwhile: a few rounds settle it.
    for (int round = 0; round < 3; ++round) {
        if (giveName(file.fd.get(), *path)) {
            return SharedMemory(std::move(file.fd), *path, size, true);
        }
        if (errno != EEXIST || !removeIfStale(*path)) {
            break;
        }
    }
    trace("name in use or not writable:", name);
    return std::nullopt;
}

std::optional<SharedMemory> SharedMemory::open(std::string_view name) {
    const std::optional<std::string> path = pathFor(name);
    if (!path) {
        return std::nullopt;
    }
    UniqueFd fd(::open(path->c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid() ||
        st.st_size == 0) {
        return std::nullopt;
    }
    if (tryLock(fd.get())) {
        if (stillNamed(*path, fd.get())) {
            ::unlink(path->c_str());
            trace("removed the block of an ended process:", name);
        }
        return std::nullopt;
    }
    return SharedMemory(std::move(fd), *path, static_cast<std::size_t>(st.st_size), false);
}

SharedMemory::SharedMemory(SharedMemory&& other) noexcept
    : fd_(std::move(other.fd_)),
      path_(std::move(other.path_)),
      size_(other.size_),
      creator_(std::exchange(other.creator_, false)) {}

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept {
    if (this != &other) {
        removeName();
        fd_ = std::move(other.fd_);
        path_ = std::move(other.path_);
        size_ = other.size_;
        creator_ = std::exchange(other.creator_, false);
    }
    return *this;
}

SharedMemory::~SharedMemory() {
    removeName();
}

void SharedMemory::removeName() noexcept {
    // Under the creator's lock, which the descriptor still holds.
    if (creator_ && stillNamed(path_, fd_.get())) {
        ::unlink(path_.c_str());
    }
    creator_ = false;
}

Mapping SharedMemory::map() const {
    if (!fd_) {
        return Mapping();
    }
    void* data = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_.get(), 0);
    return data == MAP_FAILED ? Mapping() : Mapping(data, size_);
}

}  // namespace win
