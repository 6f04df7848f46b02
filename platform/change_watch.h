#pragma once
// Change notifications over inotify: a set of watched folders and the shell's three kinds of
// change, told as they happen inside those folders:
//   ItemChanged      a file's contents or attributes changed (path = the file)
//   ItemRenamed      an entry was renamed within the watched folders (path = old, newPath = new)
//   FolderChanged    an entry appeared or went, or moved in or out (path = the folder)
// A burst of writes to one file gives one ItemChanged per read. Events of folders that went away
// are dropped with their watch.
//
// Owned by one thread; descriptor() is pollable (a queue source, messages.h) and readEvents()
// takes what is ready without blocking. Failures answer false / an empty list; nothing throws.

#include "platform/unique_fd.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace win {

struct ChangeEvent {
    enum class Kind { ItemChanged, ItemRenamed, FolderChanged };
    Kind kind = Kind::ItemChanged;
    std::string path;
    std::string newPath;  // ItemRenamed only
    bool operator==(const ChangeEvent&) const = default;
};

class ChangeWatch {
  public:
    static std::optional<ChangeWatch> create();

    ChangeWatch(ChangeWatch&&) noexcept = default;
    ChangeWatch& operator=(ChangeWatch&&) noexcept = default;

    // Adds one folder (not its subfolders); adding it again is no change.
    bool addFolder(const std::string& folder);
    bool removeFolder(const std::string& folder);
    int descriptor() const { return fd_.get(); }
    std::vector<ChangeEvent> readEvents();

  private:
    explicit ChangeWatch(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
    std::map<int, std::string> folders_;  // by watch descriptor
};

}  // namespace win
