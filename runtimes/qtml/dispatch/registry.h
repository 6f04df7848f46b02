#pragma once
// The objects the runtime has handed out, by the value the caller holds: every value a caller
// passes back is looked up here before it is used, so a stale or foreign value is refused
// instead of followed.
//
// Threads: the runtime's, with its lock held. Error policy: find answers null for an unknown
// value; add answers false (and drops the object) when memory runs out.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

namespace kinvo::qtml {

template <typename T>
class Registry {
  public:
    bool add(intptr_t key, std::unique_ptr<T> object) noexcept {
        try {
            objects_[key] = std::move(object);
            return true;
        } catch (...) {
            return false;
        }
    }
    T* find(intptr_t key) const noexcept {
        const auto found = objects_.find(key);
        return found != objects_.end() ? found->second.get() : nullptr;
    }
    // Takes the object out; null when unknown. The caller lets it go after the bookkeeping.
    std::unique_ptr<T> take(intptr_t key) noexcept {
        const auto found = objects_.find(key);
        if (found == objects_.end()) {
            return nullptr;
        }
        std::unique_ptr<T> object = std::move(found->second);
        objects_.erase(found);
        return object;
    }
    void clear() noexcept { objects_.clear(); }
    auto begin() const noexcept { return objects_.begin(); }
    auto end() const noexcept { return objects_.end(); }

  private:
    std::map<intptr_t, std::unique_ptr<T>> objects_;
};

}  // namespace kinvo::qtml
