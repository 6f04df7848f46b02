#include "platform/named_mutex.h"

#include <map>
#include <string>

namespace win {
namespace {

struct MutexTable {
    std::mutex lock;  // guards byName
    std::map<std::string, std::weak_ptr<std::recursive_mutex>, std::less<>> byName;
};

MutexTable& table() {
    static MutexTable* instance = new MutexTable;  // never destroyed: used until exit
    return *instance;
}

}  // namespace

std::shared_ptr<std::recursive_mutex> namedMutex(std::string_view name) {
    MutexTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.byName.find(name);
    if (it != t.byName.end()) {
        if (auto existing = it->second.lock()) {
            return existing;
        }
    }
    // Entries of mutexes nobody holds any more are dropped as we go.
    std::erase_if(t.byName, [](const auto& entry) { return entry.second.expired(); });
    auto created = std::make_shared<std::recursive_mutex>();
    t.byName[std::string(name)] = created;
    return created;
}

}  // namespace win
