#include "runtimes/primo/backend/session_table.h"

#include <primo/primo_sdk.h>

#include <cstring>

namespace primo {

WriteRequest writeRequest(uint32_t flags, uint32_t speed) noexcept {
    WriteRequest request;
    request.simulate = (flags & PRIMO_WRITE_TEST) != 0;
    request.discAtOnce = (flags & PRIMO_WRITE_TRACK_AT_ONCE) == 0;
    request.underrunProof = (flags & PRIMO_WRITE_UNDERRUN_PROOF) != 0;
    request.speed = speed >= PRIMO_SPEED_BEST ? 0 : speed;
    return request;
}

AudioSession* SessionTable::find(uint32_t handle) noexcept {
    auto it = sessions_.find(handle);
    return it == sessions_.end() ? nullptr : it->second.get();
}

uint32_t SessionTable::init(uint32_t* release) noexcept {
    if (release != nullptr) {
        *release = kRelease;
    }
    return PRIMO_OK;
}

uint32_t SessionTable::getHandle(uint32_t* handle) noexcept {
    std::lock_guard guard(mutex_);
    if (handle == nullptr || sessions_.size() >= kMaxHandles || nextHandle_ == 0) {
        return PRIMO_ERROR;
    }
    try {
        sessions_.emplace(nextHandle_, std::make_unique<AudioSession>());
    } catch (...) {
        return PRIMO_ERROR;
    }
    *handle = nextHandle_++;
    return PRIMO_OK;
}

uint32_t SessionTable::newAudio(uint32_t handle, const uint32_t* units) noexcept {
    std::lock_guard guard(mutex_);
    AudioSession* session = find(handle);
    if (session == nullptr || units == nullptr || units[0] == PRIMO_UNITS_END) {
        return PRIMO_ERROR;
    }
    return session->open(units[0], lookups_) ? PRIMO_OK : PRIMO_ERROR;
}

uint32_t SessionTable::addAudioTrack(uint32_t handle, const char* file, uint32_t pauseSectors,
                                     uint32_t* sectors) noexcept {
    std::lock_guard guard(mutex_);
    AudioSession* session = find(handle);
    uint32_t count = 0;
    if (session == nullptr || !session->addTrack(file, pauseSectors, count)) {
        return PRIMO_ERROR;
    }
    if (sectors != nullptr) {
        *sectors = count;
    }
    return PRIMO_OK;
}

uint32_t SessionTable::closeAudio(uint32_t handle) noexcept {
    std::lock_guard guard(mutex_);
    AudioSession* session = find(handle);
    if (session == nullptr) {
        return PRIMO_ERROR;
    }
    session->close();
    return PRIMO_OK;
}

uint32_t SessionTable::writeAudio(uint32_t handle, uint32_t flags, uint32_t speed) noexcept {
    std::lock_guard guard(mutex_);
    AudioSession* session = find(handle);
    return session != nullptr && session->write(writeRequest(flags, speed)) ? PRIMO_OK
                                                                            : PRIMO_ERROR;
}

uint32_t SessionTable::runningStatus(uint32_t handle, uint32_t action, uint32_t* done,
                                     uint32_t* total) noexcept {
    std::lock_guard guard(mutex_);
    AudioSession* session = find(handle);
    if (session == nullptr) {
        return PRIMO_ERROR;
    }
    if (action == PRIMO_STATUS_ABORT) {
        session->abort();
    }
    const WriteState state = session->status();
    if (done != nullptr) {
        *done = state.done;
    }
    if (total != nullptr) {
        *total = state.total;
    }
    switch (state.phase) {
        case WriteState::Phase::kRunning:
            return PRIMO_RUNNING;
        case WriteState::Phase::kFinished:
            return PRIMO_OK;
        case WriteState::Phase::kFailed:
            return PRIMO_ERROR;
    }
    return PRIMO_ERROR;
}

uint32_t SessionTable::unitSpeeds(uint32_t handle, const uint32_t* unit, uint8_t* speeds,
                                  uint8_t* writeSpeeds, uint32_t* flags) noexcept {
    std::lock_guard guard(mutex_);
    AudioSession* session = find(handle);
    if (session == nullptr || unit == nullptr) {
        return PRIMO_ERROR;
    }
    // The tables are not known per speed: both are empty lists.
    if (speeds != nullptr) {
        std::memset(speeds, 0, 128);
    }
    if (writeSpeeds != nullptr) {
        std::memset(writeSpeeds, 0, 128);
    }
    if (flags != nullptr) {
        *flags = session->choosesSpeed() ? PRIMO_UNIT_CHOOSES_SPEED : 0;
    }
    return PRIMO_OK;
}

}  // namespace primo
