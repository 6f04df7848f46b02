#include "dataserver/store/connection_pool.h"

#include <cassert>

#include "dataserver/store/schema.h"

namespace kinvo::ds {

ConnectionPool::ConnectionPool(const std::string& path, std::size_t size) {
    assert(size > 0);
    for (std::size_t i = 0; i < size; ++i) {
        free_.push_back(
            std::make_unique<Catalogue>(openCatalogue(path, Database::Mode::ReadWrite)));
    }
}

ConnectionPool::Lease::~Lease() {
    if (catalogue_) {
        pool_->giveBack(std::move(catalogue_));
    }
}

ConnectionPool::Lease ConnectionPool::acquire() {
    std::unique_lock lock(mutex_);
    available_.wait(lock, [this] { return !free_.empty(); });
    std::unique_ptr<Catalogue> c = std::move(free_.back());
    free_.pop_back();
    return Lease(*this, std::move(c));
}

void ConnectionPool::giveBack(std::unique_ptr<Catalogue> catalogue) noexcept {
    {
        std::lock_guard lock(mutex_);
        free_.push_back(std::move(catalogue));
    }
    available_.notify_one();
}

}  // namespace kinvo::ds
