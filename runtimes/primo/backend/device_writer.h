#pragma once
// An optical drive's write through lib/burn: the tracks as CD-DA from their WAV samples, each
// led by its pause as pregap, written by libburn's thread. Speeds are multiples of 1x (176 kB/s);
// PRIMO flags map to session or track at once, simulation and underrun protection. abort()
// cancels libburn's write; the destructor waits until the drive is idle before it goes.
#include <memory>
#include <vector>

#include "lib/burn/disc.h"
#include "lib/burn/drive.h"
#include "lib/burn/library.h"
#include "runtimes/primo/backend/disc_writer.h"
#include "runtimes/primo/backend/track_file.h"

namespace primo {

class DeviceWriter final : public DiscWriter {
  public:
    // Null when the disc cannot be put together or the write cannot start; the drive then stays
    // with the caller.
    static std::unique_ptr<DeviceWriter> start(kinvo::burn::Drive& drive,
                                               const std::vector<TrackFile>& tracks,
                                               const WriteRequest& request) noexcept;
    ~DeviceWriter() override;
    WriteState status() noexcept override;
    void abort() noexcept override;

  private:
    DeviceWriter(kinvo::burn::Drive& drive, kinvo::burn::Disc disc,
                 std::vector<kinvo::burn::Source> sources, std::vector<kinvo::burn::Track> tracks,
                 kinvo::burn::WriteOptions options) noexcept;

    kinvo::burn::Drive& drive_;
    kinvo::burn::Disc disc_;
    std::vector<kinvo::burn::Source> sources_;
    std::vector<kinvo::burn::Track> tracks_;
    kinvo::burn::WriteOptions options_;
    uint32_t total_ = 0;
    bool started_ = false;  // libburn has reported the write as running at least once
};

}  // namespace primo
