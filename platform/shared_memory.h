#pragma once
// Named shared memory: POSIX shared-memory objects named "/" + the Windows name, mode 0600. The
// creator owns the name and removes it when its SharedMemory goes; others open the existing
// object with read and write access. A Mapping is one mapped view.
//
// Failures answer nullopt (or an empty Mapping); nothing throws. Objects are used by one thread
// at a time; the bytes of a view are shared with other processes, whose access is ordered by the
// protocol that uses them (a lock or synchronous messages).

#include "platform/unique_fd.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace win {

class Mapping {
  public:
    Mapping() = default;
    Mapping(void* data, std::size_t size) : data_(data), size_(size) {}
    Mapping(Mapping&& other) noexcept;
    Mapping& operator=(Mapping&& other) noexcept;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() { unmap(); }

    unsigned char* data() const { return static_cast<unsigned char*>(data_); }
    std::size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }
    void unmap() noexcept;

  private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

class SharedMemory {
  public:
    // Creates the object with `size` bytes, zero-filled. An object of that name left by a process
    // that ended is taken over (it cannot be told from a live one, and every name the system uses
    // carries its creator's number). Nullopt for a name with "/" or another user's object.
    static std::optional<SharedMemory> create(std::string_view name, std::size_t size);
    // Opens an existing object with read and write access; nullopt when there is none.
    static std::optional<SharedMemory> open(std::string_view name);

    SharedMemory(SharedMemory&& other) noexcept;
    SharedMemory& operator=(SharedMemory&& other) noexcept;
    ~SharedMemory();

    std::size_t size() const { return size_; }
    bool isCreator() const { return creator_; }
    // A read-write view of the whole object; empty on failure.
    Mapping map() const;

  private:
    SharedMemory(UniqueFd fd, std::string path, std::size_t size, bool creator)
        : fd_(std::move(fd)), path_(std::move(path)), size_(size), creator_(creator) {}

    UniqueFd fd_;
    std::string path_;  // "/" + name
    std::size_t size_ = 0;
    bool creator_ = false;
};

}  // namespace win
