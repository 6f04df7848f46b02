// Change notifications for the server: folders watched through the platform's inotify watch
// set, pumped by the main thread's message queue. Each change comes back as a call on the main
// thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vexa {

class ChangeWatch {
  public:
    struct Change {
        enum class Kind { kFolderContents, kItemChanged, kItemRenamed } kind;
        std::string path;  // the item (for a rename: its new path); the folder for contents
    };
    using Handler = std::function<void(const Change&)>;

    // Main thread. nullptr when the watch set cannot be made (no change notifications then).
    static std::unique_ptr<ChangeWatch> start(Handler handler);

    virtual ~ChangeWatch() = default;
    // Main thread. False when the folder cannot be watched.
    virtual bool addFolder(const std::string& folder) = 0;
};

}  // namespace vexa
