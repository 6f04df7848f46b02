#include "dataserver/server/answer_cache.h"

namespace kinvo::ds {

AnswerCache::AnswerCache(std::size_t maxEntries, std::size_t maxBytes)
    : maxEntries_(maxEntries), maxBytes_(maxBytes) {}

void AnswerCache::forgetOlderThan(std::int64_t generation) {
    if (generation > generation_) {
        order_.clear();
        index_.clear();
        bytes_ = 0;
        generation_ = generation;
    }
}

AnswerCache::Order::iterator AnswerCache::lookup(const std::string& key) {
    auto it = index_.find(key);
    if (it == index_.end()) {
        return order_.end();
    }
    order_.splice(order_.begin(), order_, it->second);
    return it->second;
}

SharedBody AnswerCache::find(const std::string& key, const CatalogueVersion& version) {
    std::lock_guard lock(mutex_);
    forgetOlderThan(version.generation);
    auto it = lookup(key);
    return it != order_.end() && it->version == version ? it->body : nullptr;
}

SharedBody AnswerCache::findOfGeneration(const std::string& key, const CatalogueVersion& version) {
    std::lock_guard lock(mutex_);
    forgetOlderThan(version.generation);
    auto it = lookup(key);
    return it != order_.end() && it->version.generation == version.generation ? it->body : nullptr;
}

void AnswerCache::store(const std::string& key, const CatalogueVersion& version, SharedBody body) {
    std::lock_guard lock(mutex_);
    forgetOlderThan(version.generation);
    if (version.generation < generation_) {
        return;  // built from a catalogue that has changed since
    }
    if (auto it = index_.find(key); it != index_.end()) {
        if (it->second->version.starts > version.starts) {
            return;  // a newer popular list is already here
        }
        bytes_ -= cost(*it->second);
        order_.erase(it->second);
        index_.erase(it);
    }
    Entry entry{key, version, std::move(body)};
    if (cost(entry) > maxBytes_ || maxEntries_ == 0) {
        return;
    }
    bytes_ += cost(entry);
    order_.push_front(std::move(entry));
    index_.emplace(key, order_.begin());
    while (order_.size() > maxEntries_ || bytes_ > maxBytes_) {
        bytes_ -= cost(order_.back());
        index_.erase(order_.back().key);
        order_.pop_back();
    }
}

std::size_t AnswerCache::entries() const {
    std::lock_guard lock(mutex_);
    return order_.size();
}

std::size_t AnswerCache::bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

}  // namespace kinvo::ds
