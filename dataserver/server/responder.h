#pragma once
// Answers one request, whatever transport carried it: the browser's data requests, the vendor
// pages and their forms. Media files are streamed by the HTTP layer (media_files.h).
//
// Error policy of the server module: handlers throw only DbError (a store failure). respond()
// catches it: the browser's requests then get an empty 200 body, which the browser treats as
// "nothing came" (no contact, empty list), and pages get a 503 page; the error goes to the
// error sink. A malformed query is never an error: it gets an empty or partial answer.
//
// Thread-safe: each call borrows its own connection from the pool; catalogue answers come
// from memory when they can (cached_answers.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "dataserver/server/cached_answers.h"
#include "dataserver/server/server_settings.h"
#include "dataserver/store/connection_pool.h"

namespace kinvo::ds {

struct Request {
    std::string_view method;  // "GET", "HEAD" or "POST"
    std::string_view path;    // without the query
    std::string_view query;   // raw, after the "?"
    std::string_view body;
    std::string_view remote;
};

// The body is `body`, or, when `shared` is set, the buffer it points to: an answer kept in
// memory for many requests is handed to the HTTP layer without a copy (it is only read, and
// stays alive until the answer is written).
struct Reply {
    int status = 200;
    std::string contentType;
    std::string body;
    std::shared_ptr<const std::string> shared = nullptr;

    std::string_view bodyView() const { return shared ? std::string_view(*shared) : body; }
};

class Responder {
  public:
    using ErrorSink = std::function<void(std::string_view)>;
    using Clock = std::function<std::int64_t()>;  // seconds since the epoch

    // The catalogue answers come from `answers`; the pages read `pool`.
    Responder(ConnectionPool& pool, CachedAnswers& answers, ServerSettings settings,
              ErrorSink errors, Clock clock);

    Reply respond(const Request& request) const noexcept;

    // Paths are matched without regard to letter case, as the old server did.
    static std::string normalisedPath(std::string_view path);

  private:
    Reply dispatch(const Request& request, const std::string& path) const;

    ConnectionPool& pool_;
    CachedAnswers& answers_;
    const ServerSettings settings_;
    ErrorSink errors_;
    Clock clock_;
};

}  // namespace kinvo::ds
