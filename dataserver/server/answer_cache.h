#pragma once
// Answers kept in memory: a bounded least-recently-used map from a request's key to its body,
// each stamped with the catalogue version it was built from. A body is shared, never copied:
// callers write it straight from the returned buffer, which stays alive while they hold it even
// when the entry is dropped meanwhile.
//
// Bounds: at most `maxEntries` entries and `maxBytes` bytes of bodies and keys; the least
// recently used entries go first, and a body larger than the byte bound is not kept. Seeing a
// newer catalogue generation drops every entry at once (none of them can be served again).
//
// Thread-safe: every member takes mutex_. Never throws but std::bad_alloc.

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "dataserver/store/station.h"

namespace kinvo::ds {

using SharedBody = std::shared_ptr<const std::string>;

class AnswerCache {
  public:
    AnswerCache(std::size_t maxEntries, std::size_t maxBytes);

    // The body stored for `key` at exactly `version`, else nullptr.
    SharedBody find(const std::string& key, const CatalogueVersion& version);
    // The body stored for `key` at `version`'s generation whatever its start count, else
    // nullptr: a popular list one batch of starts behind.
    SharedBody findOfGeneration(const std::string& key, const CatalogueVersion& version);
    void store(const std::string& key, const CatalogueVersion& version, SharedBody body);

    std::size_t entries() const;
    std::size_t bytes() const;

  private:
    struct Entry {
        std::string key;
        CatalogueVersion version;
        SharedBody body;
    };
    using Order = std::list<Entry>;  // most recently used first

    static std::size_t cost(const Entry& e) { return e.key.size() + e.body->size(); }
    void forgetOlderThan(std::int64_t generation);   // with mutex_ held
    Order::iterator lookup(const std::string& key);  // with mutex_ held; moves it to the front

    const std::size_t maxEntries_;
    const std::size_t maxBytes_;
    mutable std::mutex mutex_;
    Order order_;                                             // guarded by mutex_
    std::unordered_map<std::string, Order::iterator> index_;  // guarded by mutex_
    std::size_t bytes_ = 0;                                   // guarded by mutex_
    std::int64_t generation_ = 0;                             // guarded by mutex_
};

}  // namespace kinvo::ds
