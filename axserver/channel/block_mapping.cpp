// Mapping the named blocks. Stand-in until the platform layer offers named shared memory.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "axserver/channel/named_mapping.h"

namespace vexa::detail {

std::unique_ptr<NamedMapping> NamedMapping::map(const std::string& name, size_t size, bool create) {
    std::string path = "/" + name;
    int fd = create ? ::shm_open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600)
                    : ::shm_open(path.c_str(), O_RDWR, 0);
    if (fd < 0) {
        return nullptr;
    }
    if (create && ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
        ::close(fd);
        ::shm_unlink(path.c_str());
        return nullptr;
    }
    void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (address == MAP_FAILED) {
        if (create) {
            ::shm_unlink(path.c_str());
        }
        return nullptr;
    }
    std::unique_ptr<NamedMapping> mapping(new NamedMapping());
    mapping->address_ = address;
    mapping->size_ = size;
    if (create) {
        mapping->unlinkName_ = path;
    }
    return mapping;
}

NamedMapping::~NamedMapping() {
    if (address_ != nullptr) {
        ::munmap(address_, size_);
    }
    if (!unlinkName_.empty()) {
        ::shm_unlink(unlinkName_.c_str());
    }
}

}  // namespace vexa::detail
