#pragma once
// Whole-file reads and writes over descriptors, retried when a signal interrupts them.

#include <cstddef>
#include <limits>
#include <string>

namespace win::detail {

enum class ReadResult { Ok, Missing, Failed };

// Appends the whole file at `path` to `out`. Missing when there is no such file; Failed for any
// other error or a file longer than `limit`. `openFlags` are added to O_RDONLY | O_CLOEXEC.
ReadResult readWholeFile(const std::string& path, std::string& out,
                         std::size_t limit = std::numeric_limits<std::size_t>::max(),
                         int openFlags = 0);

// Writes all of `data` to `fd`; false on an error.
bool writeAll(int fd, const std::string& data);

}  // namespace win::detail
