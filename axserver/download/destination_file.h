#pragma once
// The download's destination: created (replacing an older file) once the download knows it has
// a body to keep, then written block by block through a write-behind buffer of kWriteBehind
// bytes, so that the disk sees few large writes however small the blocks. Everything accepted
// is in the file once finish() returns, whether the transfer ended cleanly or not.
//
// Error policy: create, write and finish answer false on failure (a failed write may surface
// only at the next flush); nothing throws. One thread at a time. Move-only through its
// descriptor owner; destroying an unfinished file closes it without flushing.

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "platform/unique_fd.h"

namespace vexa {

inline constexpr size_t kWriteBehind = 64 * 1024;

class DestinationFile {
  public:
    // Creates `path` for writing (mode 0666 less the umask), truncating an older file.
    bool create(const std::string& path) noexcept;
    bool write(std::span<const char> bytes) noexcept;
    // Writes what is buffered and closes the file; false when a write failed.
    bool finish() noexcept;

  private:
    bool flush() noexcept;

    win::UniqueFd fd_;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
};

}  // namespace vexa
