#pragma once
// The arithmetic and tests of disc burning, pure (any thread, never throws but bad_alloc):
// whether a file may be burned, the burn window's title, the write flags and speed handed to
// the burner, the burn percent and the status word of query 1.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The text after the last "." of the name; empty when there is none or a "\" or "/" follows it.
std::string_view burnExtension(std::string_view name);

// A file may be burned when its extension is one the input plug-ins declare (ignoring case), its
// "type" information is empty or begins with "0" (audio), and, for "wma", the Windows Media
// runtime's version is 9 or more.
bool mayBeBurned(std::string_view name, const std::vector<std::string>& extensions,
                 std::string_view type, int windowsMediaVersion);

// "E: (0%) Burning 1 track at 8x".
std::string burnTitle(char drive, int32_t percent, int32_t tracks, int32_t speed);

inline constexpr uint32_t kFlagTestWrite = 0x80;
inline constexpr uint32_t kFlagUnderrunProof = 0x10000;
inline constexpr uint32_t kFlagDiscAtOnce = 0x10;
inline constexpr uint32_t kFlagTrackAtOnce = 0x20;
inline constexpr uint32_t kSpeedBest = 0xFFFFFFF0;
inline constexpr uint32_t kUnitChoosesSpeed = 4;

uint32_t burnWriteFlags(int32_t testWrite, int32_t underrunProof, int32_t discAtOnce);
// p3 when not 0; else the drive's best when its flags say it can choose, otherwise 0.
uint32_t burnSpeed(int32_t speed, uint32_t unitFlags);

// Percent of the sectors written; 0 during the lead-in (the first 4000 sectors).
int32_t burnPercent(uint32_t done, uint32_t total);
// Seconds of the disc written so far (75 sectors a second).
int32_t burnedSeconds(uint32_t done);

// Query 1's answer from the burn on: the track under the burned position among the tracks'
// lengths (the last when none) with bit 8, and the overall percent above bit 9. `trackPercent`
// receives the percent within that track (query 2).
uint32_t burnStatusWord(int32_t burnedSeconds, const std::vector<int32_t>& trackSeconds,
                        int32_t overallPercent, int32_t& trackPercent);
// During the conversions: the index of the track in hand.
inline uint32_t convertStatusWord(int32_t trackIndex) {
    return static_cast<uint32_t>(trackIndex) & 0x1FF;
}
inline constexpr uint32_t kBurnerNotRunning = 0x11111;

}  // namespace vexa
