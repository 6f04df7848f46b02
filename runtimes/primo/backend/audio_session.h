#pragma once
// One handle's audio disc: the drive its letter names (an image folder, or an optical drive
// grabbed for the session's life), the tracks added, the write, and the counts of the last write,
// which stay readable after close(). Used by one thread at a time (the session table's lock).
// Never throws; failures answer false.
#include <memory>
#include <optional>
#include <vector>

#include "lib/burn/drive.h"
#include "lib/burn/library.h"
#include "runtimes/primo/backend/disc_writer.h"
#include "runtimes/primo/backend/drive_map.h"
#include "runtimes/primo/backend/track_file.h"

namespace primo {

class AudioSession {
  public:
    // Opens the session on the drive `letter` names; false when it names none, the image folder
    // is not a folder, or the optical drive cannot be grabbed or holds no blank disc.
    bool open(uint32_t letter, const DriveLookups& lookups) noexcept;
    bool isOpen() const noexcept { return target_.kind != DriveTarget::Kind::kNone; }
    // False when no session is open, a write has started, or the file is not CD audio.
    bool addTrack(const char* file, uint32_t pauseSectors, uint32_t& sectors) noexcept;
    // Whether the drive chooses its own highest speed.
    bool choosesSpeed() const noexcept;
    // False without an open session with tracks, or when the write cannot start.
    bool write(const WriteRequest& request) noexcept;
    // The write's state; kFailed with the last counts when no write runs.
    WriteState status() noexcept;
    void abort() noexcept;
    // Ends the write (cancelled when still running) and releases the drive.
    void close() noexcept;

  private:
    DriveTarget target_;
    std::optional<kinvo::burn::Library> library_;
    std::optional<kinvo::burn::Drive> drive_;
    std::vector<TrackFile> tracks_;
    std::unique_ptr<DiscWriter> writer_;
    WriteState last_{WriteState::Phase::kFailed, 0, 0};
};

}  // namespace primo
