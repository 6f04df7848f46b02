#include "axserver/core/change_watch.h"

namespace vexa {

// Stand-in until the platform layer's inotify watch set is merged.
std::unique_ptr<ChangeWatch> ChangeWatch::start(Handler) {
    return nullptr;
}

}  // namespace vexa
