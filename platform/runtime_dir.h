#pragma once
// The per-user runtime folder shared by all processes of the message layer, and the small files
// in it: "p<pid>.sock" (a process's socket) and "w<handle>" (one per top-level message window:
// process id, process start time, class name, window text), written atomically with mode 0600.
// Named shared memory keeps its objects there too, as "m<name>" (shared_memory.h).
//
// The folder is $XDG_RUNTIME_DIR/sonari-win, else /tmp/sonari-win-<uid>, mode 0700. A folder that
// is not ours (another owner, a symbolic link, not a folder) is refused: the layer then works
// inside the process only. Thread-safe: no state besides the folder's path.

#include "platform/message_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace win::detail {

// Creates the folder when missing and checks it; nullopt when it cannot be used.
std::optional<std::string> openRuntimeDir();

std::string socketPath(const std::string& dir, pid_t pid);
std::string windowFilePath(const std::string& dir, HWND hwnd);

struct WindowFile {
    pid_t pid = 0;
    std::uint64_t startTime = 0;  // of the process, in clock ticks since boot
    std::string className;
    std::string text;
};

// Atomic: a reader sees the old file or the new one. False on a write failure.
bool writeWindowFile(const std::string& dir, HWND hwnd, const WindowFile& file);
std::optional<WindowFile> readWindowFile(const std::string& dir, HWND hwnd);
void removeWindowFile(const std::string& dir, HWND hwnd) noexcept;

// The handles named by window files, unordered.
std::vector<HWND> listWindowFiles(const std::string& dir);

// Removes the sockets of processes that no longer run.
void removeStaleSockets(const std::string& dir);

// Start time of a running process (zombies count as ended); nullopt when it is not running.
std::optional<std::uint64_t> processStartTime(pid_t pid);

// True while the process that wrote `file` runs (a reused pid has another start time).
bool windowFileLive(const WindowFile& file);

}  // namespace win::detail
