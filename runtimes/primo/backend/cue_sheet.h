#pragma once
// The image drive's layout: one BIN file of raw CD-DA sectors (2352 bytes, 16-bit little-endian
// stereo at 44100 Hz) and its CUE sheet. Every track's pause is silence in the BIN before the
// track, from its INDEX 00 to its INDEX 01 (INDEX 00 only when the pause is not empty); the
// samples start at INDEX 01 and end padded with silence to a whole sector. Times are mm:ss:ff at
// 75 frames (sectors) a second from the start of the BIN. Pure; never throws but bad_alloc.
#include <cstdint>
#include <string>
#include <vector>

#include "runtimes/primo/backend/track_file.h"

namespace primo {

inline constexpr char kImageBinName[] = "disc.bin";
inline constexpr char kImageCueName[] = "disc.cue";

// "mm:ss:ff" for a sector count.
std::string cueTime(uint64_t sectors);

// The CUE sheet for the tracks written in order into `binName`.
std::string cueSheet(const std::vector<TrackFile>& tracks, const std::string& binName);

// Sectors of pauses and samples of all tracks.
uint64_t totalSectors(const std::vector<TrackFile>& tracks);

}  // namespace primo
