#include "platform/change_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace win {
namespace {

constexpr std::uint32_t kMask = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE |
                                IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR;

void addUnique(std::vector<ChangeEvent>& events, ChangeEvent event) {
    // Writes come in bursts; one report of each change per read is enough.
    if (std::find(events.begin(), events.end(), event) == events.end()) {
        events.push_back(std::move(event));
    }
}

}  // namespace

std::optional<ChangeWatch> ChangeWatch::create() {
    UniqueFd fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!fd) {
        return std::nullopt;
    }
    return ChangeWatch(std::move(fd));
}

bool ChangeWatch::addFolder(const std::string& folder) {
    std::string name = folder;
    while (name.size() > 1 && name.back() == '/') {
        name.pop_back();
    }
    const int wd = ::inotify_add_watch(fd_.get(), name.c_str(), kMask);
    if (wd < 0) {
        return false;
    }
    folders_[wd] = name;
    return true;
}

bool ChangeWatch::removeFolder(const std::string& folder) {
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
        if (it->second == folder) {
            ::inotify_rm_watch(fd_.get(), it->first);
            folders_.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<ChangeEvent> ChangeWatch::readEvents() {
    std::vector<ChangeEvent> events;
    struct Move {
        std::uint32_t cookie;
        std::string path;
        std::string folder;
    };
    std::vector<Move> moves;  // moved-from halves still waiting for their moved-to
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd_.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        for (ssize_t offset = 0; offset < n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            const auto folder = folders_.find(ev->wd);
            if (folder == folders_.end()) {
                continue;
            }
            if ((ev->mask & IN_IGNORED) != 0) {
                folders_.erase(folder);
                continue;
            }
            const std::string path = ev->len > 0 ? folder->second + "/" + ev->name : folder->second;
            if ((ev->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
                continue;  // the folder itself went: its parent's watch (if any) tells
            }
            if ((ev->mask & IN_MOVED_FROM) != 0) {
                moves.push_back(Move{ev->cookie, path, folder->second});
            } else if ((ev->mask & IN_MOVED_TO) != 0) {
                auto from = std::find_if(moves.begin(), moves.end(),
                                         [&](const Move& m) { return m.cookie == ev->cookie; });
                if (from != moves.end()) {
                    events.push_back(ChangeEvent{ChangeEvent::Kind::ItemRenamed, from->path, path});
                    moves.erase(from);
                } else {
                    addUnique(events,
                              ChangeEvent{ChangeEvent::Kind::FolderChanged, folder->second, {}});
                }
            } else if ((ev->mask & (IN_CREATE | IN_DELETE)) != 0) {
                addUnique(events,
                          ChangeEvent{ChangeEvent::Kind::FolderChanged, folder->second, {}});
            } else if ((ev->mask & (IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE)) != 0 && ev->len > 0) {
                addUnique(events, ChangeEvent{ChangeEvent::Kind::ItemChanged, path, {}});
            }
        }
    }
    // Moved out of every watched folder: their folder's contents changed.
    for (const Move& m : moves) {
        addUnique(events, ChangeEvent{ChangeEvent::Kind::FolderChanged, m.folder, {}});
    }
    return events;
}

}  // namespace win
