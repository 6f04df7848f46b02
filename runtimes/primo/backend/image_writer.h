#pragma once
// The image drive's write: a thread writes the tracks' pauses and samples as raw sectors into
// "<folder>/disc.bin.part" and the CUE sheet into "disc.cue.part" (cue_sheet.h), both renamed to
// "disc.bin" and "disc.cue" once every sector is written; a failed or aborted write removes its
// parts. A speed of n paces the write at n x 75 sectors a second (so a disc image takes the time
// a disc would); 0 writes as fast as the files allow. A simulated write reads the tracks and
// writes nothing. Progress counts whole sectors (an atomic, read by any thread).
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtimes/primo/backend/disc_writer.h"
#include "runtimes/primo/backend/track_file.h"

namespace primo {

class ImageWriter final : public DiscWriter {
  public:
    // nullopt-like null when the thread cannot start.
    static std::unique_ptr<ImageWriter> start(std::string folder, std::vector<TrackFile> tracks,
                                              const WriteRequest& request) noexcept;
    ~ImageWriter() override;
    WriteState status() noexcept override;
    void abort() noexcept override;

  private:
    ImageWriter(std::string folder, std::vector<TrackFile> tracks, const WriteRequest& request);
    void run() noexcept;
    bool writeAll() noexcept;

    const std::string folder_;
    const std::vector<TrackFile> tracks_;
    const WriteRequest request_;
    const uint32_t total_;
    std::atomic<uint32_t> done_{0};
    std::atomic<bool> stop_{false};
    std::atomic<WriteState::Phase> phase_{WriteState::Phase::kRunning};
    std::thread thread_;
};

}  // namespace primo
