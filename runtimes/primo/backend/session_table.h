#pragma once
// The back end's handles and the eight operations of primo/primo_sdk.h on them, as the entry
// points answer them. One table per loaded library; handles count from 1 and are never reused.
// Every operation takes the table's lock (sessions_ is guarded by mutex_), so calls from any
// thread are ordered; an unknown handle answers PRIMO_ERROR. Destroying the table ends every
// write. Never throws.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "runtimes/primo/backend/audio_session.h"
#include "runtimes/primo/backend/drive_map.h"

namespace primo {

inline constexpr uint32_t kRelease = 0x00010000;
inline constexpr size_t kMaxHandles = 4096;

class SessionTable {
  public:
    explicit SessionTable(DriveLookups lookups) : lookups_(std::move(lookups)) {}

    uint32_t init(uint32_t* release) noexcept;
    uint32_t getHandle(uint32_t* handle) noexcept;
    uint32_t newAudio(uint32_t handle, const uint32_t* units) noexcept;
    uint32_t addAudioTrack(uint32_t handle, const char* file, uint32_t pauseSectors,
                           uint32_t* sectors) noexcept;
    uint32_t closeAudio(uint32_t handle) noexcept;
    uint32_t writeAudio(uint32_t handle, uint32_t flags, uint32_t speed) noexcept;
    uint32_t runningStatus(uint32_t handle, uint32_t action, uint32_t* done,
                           uint32_t* total) noexcept;
    uint32_t unitSpeeds(uint32_t handle, const uint32_t* unit, uint8_t* speeds,
                        uint8_t* writeSpeeds, uint32_t* flags) noexcept;

  private:
    AudioSession* find(uint32_t handle) noexcept;

    const DriveLookups lookups_;
    std::mutex mutex_;
    std::map<uint32_t, std::unique_ptr<AudioSession>> sessions_;  // guarded by mutex_
    uint32_t nextHandle_ = 1;                                     // guarded by mutex_
};

// PRIMO_WRITE_* flags and a speed as a write request.
WriteRequest writeRequest(uint32_t flags, uint32_t speed) noexcept;

}  // namespace primo
