#pragma once
// Reading the browser's own files without trusting what stands at their names. Only a regular
// file (a symbolic link is followed) of at most a given size is read; a FIFO, a device such as
// /dev/zero, a folder or a file past the bound is "unusable": it is never opened for writing,
// never read past the bound, and opening it never waits for a writer.
//
// Error policy: results, never exceptions. Any thread; nothing is shared.

#include <QString>

#include <cstdint>
#include <string>

namespace kinvo {

enum class FileState {
    Missing,   // nothing at the name (or a link to nothing)
    Usable,    // a regular file within the bound
    Unusable,  // something else, too large, or a read that failed
};

// What stands at path, from its status alone (nothing is opened).
FileState probeFile(const QString& path, std::int64_t maxBytes);

struct FileBytes {
    FileState state = FileState::Missing;
    std::string bytes;  // the whole file when state is Usable
};

// Reads the whole file when it is usable. The bound holds even for a file that grows while it
// is read.
FileBytes readBoundedFile(const QString& path, std::int64_t maxBytes);

}  // namespace kinvo
