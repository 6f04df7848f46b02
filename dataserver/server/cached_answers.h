#pragma once
// The /kinvo39.asp answers served from memory. The category names and every list (category,
// connection class) are built once per catalogue version and kept; searches are kept per term
// and class; station starts are counted by the StartCounter without a write on the request's
// path. Each request reads the catalogue's change counters (one row) and serves a kept answer
// only when it was built from the same version, so an import (from any process), a rating or a
// written batch of starts shows in the next answer it changes.
//
// The popular list: a request writes the pending starts (after a write in progress) before it
// reads the version, so it shows every start answered before it. Only when that wait runs out
// (StartCounter::kWriteWait, 100 ms: an import holds the catalogue) or the write fails does it
// get the list as of the last write.
//
// Bounds (entries, bytes of bodies and keys): lists and names kListEntries, kListBytes;
// searches kSearchEntries, kSearchBytes. Least recently used answers go first.
//
// Thread-safe. Errors: DbError from the store passes through (Responder answers such a request
// with an empty body).

#include <cstddef>
#include <cstdint>
#include <string>

#include "dataserver/server/answer_cache.h"
#include "dataserver/server/query.h"
#include "dataserver/server/server_settings.h"
#include "dataserver/server/start_counter.h"
#include "dataserver/store/connection_pool.h"

namespace kinvo::ds {

inline constexpr std::size_t kListEntries = 1024;
inline constexpr std::size_t kListBytes = 96u * 1024 * 1024;
inline constexpr std::size_t kSearchEntries = 2048;
inline constexpr std::size_t kSearchBytes = 16u * 1024 * 1024;

class CachedAnswers {
  public:
    CachedAnswers(ConnectionPool& pool, StartCounter& starts, ServerSettings settings);

    // /kinvo39.asp, whatever it asks; never nullptr.
    SharedBody answer(const Query& query, std::int64_t now);

  private:
    SharedBody list(const Query& query);
    SharedBody search(const Query& query);
    SharedBody names();
    SharedBody start(const Query& query, std::int64_t now);

    ConnectionPool& pool_;
    StartCounter& starts_;
    const ServerSettings settings_;
    AnswerCache lists_;
    AnswerCache searches_;
    const SharedBody empty_;
    const SharedBody counted_;
};

}  // namespace kinvo::ds
