#pragma once
// A track file: a WAV file of CD audio (PCM, 44100 Hz, 16 bits, 2 channels), its samples found
// by walking the RIFF chunks to "data". Any thread; never throws.
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace primo {

inline constexpr int64_t kSectorBytes = 2352;  // 588 stereo frames of 16 bits
inline constexpr uint32_t kSectorsPerSecond = 75;

struct TrackFile {
    std::string path;
    off_t dataOffset = 0;  // where the samples begin
    int64_t dataBytes = 0;
    uint32_t pauseSectors = 0;  // silence before the track

    // The samples' sectors, the last one padded with silence.
    uint32_t sectors() const noexcept {
        return static_cast<uint32_t>((dataBytes + kSectorBytes - 1) / kSectorBytes);
    }
};

// nullopt when the file cannot be read or is not CD audio.
std::optional<TrackFile> openTrackFile(const std::string& path, uint32_t pauseSectors);

}  // namespace primo
