#pragma once
// Named shared memory: each object is the file "m" + the Windows name in the user's runtime folder
// (runtime_dir.h: mode 0700, ours alone, so no other user can hold or squat a name), mode 0600,
// mapped shared. The creator owns the name: it holds an exclusive flock on the file for the
// object's life and removes the name when its SharedMemory goes. Others open the existing object
// with read and write access.
//
// A file whose lock can be taken belongs to a creator that ended (killed, say): it is stale and
// removed when met. create sweeps the folder's stale objects and takes over a stale one of its
// name; open of a stale object fails and removes it. When the runtime folder cannot be used,
// create and open fail (reason to the debug trace); there is no machine-wide fallback.
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
    // Creates the object with `size` bytes, zero-filled; it appears complete. An object of that
    // name left by a process that ended is taken over. Nullopt for an empty name, a name with "/"
    // or of more than 250 bytes, a size of 0, or a name a live creator holds.
    static std::optional<SharedMemory> create(std::string_view name, std::size_t size);
    // Opens an existing object of a live creator with read and write access; nullopt when there
    // is none.
    static std::optional<SharedMemory> open(std::string_view name);
    // The file that holds the object of that name; nullopt for a bad name or no runtime folder.
    static std::optional<std::string> pathFor(std::string_view name);

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

    void removeName() noexcept;

    UniqueFd fd_;  // the creator's holds the lock
    std::string path_;
    std::size_t size_ = 0;
    bool creator_ = false;
};

}  // namespace win
