#include "dataserver/server/start_counter.h"

#include "dataserver/store/schema.h"

namespace kinvo::ds {

StartCounter::StartCounter(const std::string& databasePath, std::chrono::milliseconds interval,
                           ErrorSink errors)
    : errors_(std::move(errors)),
      interval_(interval),
      catalogue_(openCatalogue(databasePath, Database::Mode::ReadWrite)),
      writer_([this] { run(); }) {}

StartCounter::~StartCounter() {
    stop();
}

void StartCounter::count(std::int64_t stationId, std::int64_t now) {
    std::lock_guard lock(countMutex_);
    counted_.push_back(StationStart{stationId, now});
    unwritten_.fetch_add(1);
}

bool StartCounter::flushPending() noexcept {
    std::unique_lock lock(writeMutex_, kWriteWait);
    return lock.owns_lock() && flushLocked();
}

bool StartCounter::flushLocked() noexcept {
    std::vector<StationStart> batch;
    {
        std::lock_guard lock(countMutex_);
        batch.swap(counted_);
    }
    if (batch.empty()) {
        return true;
    }
    try {
        catalogue_.recordStarts(batch);
        unwritten_.fetch_sub(batch.size());
        return true;
    } catch (const std::exception& e) {
        try {
            if (errors_) {
                errors_(std::string("station starts kept for the next write: ") + e.what());
            }
            std::lock_guard lock(countMutex_);
            batch.insert(batch.end(), counted_.begin(), counted_.end());
            counted_.swap(batch);
        } catch (...) {
        }
        return false;
    }
}

void StartCounter::run() {
    std::unique_lock wakeLock(wakeMutex_);
    while (!stopping_) {
        wake_.wait_for(wakeLock, interval_, [this] { return stopping_; });
        wakeLock.unlock();
        {
            std::lock_guard lock(writeMutex_);
            flushLocked();
        }
        wakeLock.lock();
    }
}

void StartCounter::stop() noexcept {
    {
        std::lock_guard lock(wakeMutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable()) {
        writer_.join();  // its last round wrote what was counted before stop
    }
    std::lock_guard lock(writeMutex_);
    flushLocked();
}

}  // namespace kinvo::ds
