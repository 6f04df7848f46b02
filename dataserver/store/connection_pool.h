#pragma once
// A fixed set of catalogue connections shared by the server's worker threads. A request borrows
// one for its duration; with WAL, readers never wait for each other and the one writer at a time
// waits through SQLite's busy timeout.
//
// Thread-safe. acquire() blocks while every connection is lent out.

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dataserver/store/catalogue.h"

namespace kinvo::ds {

class ConnectionPool {
  public:
    // Opens `size` connections to an existing catalogue (migrating it first). Throws DbError.
    ConnectionPool(const std::string& path, std::size_t size);

    class Lease {
      public:
        Lease(ConnectionPool& pool, std::unique_ptr<Catalogue> catalogue) noexcept
            : pool_(&pool), catalogue_(std::move(catalogue)) {}
        Lease(Lease&&) noexcept = default;
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        Catalogue& operator*() const noexcept { return *catalogue_; }
        Catalogue* operator->() const noexcept { return catalogue_.get(); }

      private:
        ConnectionPool* pool_;
        std::unique_ptr<Catalogue> catalogue_;
    };

    Lease acquire();

  private:
    void giveBack(std::unique_ptr<Catalogue> catalogue) noexcept;

    std::mutex mutex_;
    std::condition_variable available_;
    std::vector<std::unique_ptr<Catalogue>> free_;  // guarded by mutex_
};

}  // namespace kinvo::ds
