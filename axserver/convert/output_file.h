#pragma once
// The destination of a conversion: a move-only owner of the file descriptor, created (others may
// read, an existing file replaced) on the main thread, written by the conversion's thread.
// Nothing throws; a failed write (a full disk) answers false and the file is then abandoned.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vexa {

class OutputFile {
  public:
    // nullopt when the file cannot be created (no such folder, no permission).
    static std::optional<OutputFile> create(const std::string& path) noexcept;

    OutputFile(OutputFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { close(); }

    // Appends all `size` bytes; false on any failure.
    bool write(const void* data, size_t size) noexcept;
    // Writes over the bytes at `offset`; false on any failure.
    bool writeAt(int64_t offset, const void* data, size_t size) noexcept;
    // Closes now; false when the system reports a failure of the last writes.
    bool close() noexcept;

  private:
    explicit OutputFile(int fd) noexcept : fd_(fd) {}
    int fd_ = -1;
};

// Removes an abandoned destination when it is a regular file (never a device or a folder).
void removeDestination(const std::string& path) noexcept;

// True when `destination` names the same file as `source` (the same file on disk when both exist,
// else the same absolute path).
bool sameFile(const std::string& source, const std::string& destination) noexcept;

}  // namespace vexa
