#include "platform/shared_memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace win {
namespace {

std::optional<std::string> objectPath(std::string_view name) {
    if (name.empty() || name.find('/') != std::string_view::npos || name.size() > 250) {
        return std::nullopt;
    }
    return "/" + std::string(name);
}

bool ours(int fd, std::size_t* size) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid()) {
        return false;
    }
    *size = static_cast<std::size_t>(st.st_size);
    return true;
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

std::optional<SharedMemory> SharedMemory::create(std::string_view name, std::size_t size) {
    const auto path = objectPath(name);
    if (!path || size == 0) {
        return std::nullopt;
    }
    UniqueFd fd(::shm_open(path->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd && errno == EEXIST) {
        fd.reset(::shm_open(path->c_str(), O_RDWR | O_CLOEXEC, 0600));
        std::size_t oldSize = 0;
        if (!fd || !ours(fd.get(), &oldSize) || ::ftruncate(fd.get(), 0) != 0) {
            return std::nullopt;
        }
    }
    if (!fd) {
        return std::nullopt;
    }
    ::fchmod(fd.get(), 0600);
    if (::ftruncate(fd.get(), static_cast<off_t>(size)) != 0) {
        ::shm_unlink(path->c_str());
        return std::nullopt;
    }
    return SharedMemory(std::move(fd), *path, size, true);
}

std::optional<SharedMemory> SharedMemory::open(std::string_view name) {
    const auto path = objectPath(name);
    if (!path) {
        return std::nullopt;
    }
    UniqueFd fd(::shm_open(path->c_str(), O_RDWR | O_CLOEXEC, 0));
    std::size_t size = 0;
    if (!fd || !ours(fd.get(), &size) || size == 0) {
        return std::nullopt;
    }
    return SharedMemory(std::move(fd), *path, size, false);
}

SharedMemory::SharedMemory(SharedMemory&& other) noexcept
    : fd_(std::move(other.fd_)),
      path_(std::move(other.path_)),
      size_(other.size_),
      creator_(std::exchange(other.creator_, false)) {}

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept {
    if (this != &other) {
        if (creator_) {
            ::shm_unlink(path_.c_str());
        }
        fd_ = std::move(other.fd_);
        path_ = std::move(other.path_);
        size_ = other.size_;
        creator_ = std::exchange(other.creator_, false);
    }
    return *this;
}

SharedMemory::~SharedMemory() {
    if (creator_) {
        ::shm_unlink(path_.c_str());
    }
}

Mapping SharedMemory::map() const {
    if (!fd_) {
        return Mapping();
    }
    void* data = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_.get(), 0);
    return data == MAP_FAILED ? Mapping() : Mapping(data, size_);
}

}  // namespace win
