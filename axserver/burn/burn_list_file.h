#pragma once
// The burn list file: "#EXTM3U", then per track a "#EXTBRN:<number>" line and its file name.
// The burn process loads it as a playlist (to which the "#EXTBRN:" lines are comments) and reads
// the numbers itself. Any thread; never throws but bad_alloc.
#include <cstdint>
#include <string>
#include <vector>

namespace vexa {

inline constexpr size_t kMaxDiscTracks = 99;

std::string burnListText(const std::vector<std::string>& files,
                         const std::vector<int32_t>& numbers);

// The numbers of the lines that begin with "#EXTBRN:", in order, until `count` (at most 99) are
// taken; lines are read at most 1022 characters at a time. Missing ones are 0; an unreadable
// file gives zeros.
std::vector<int32_t> readBurnNumbers(const std::string& path, size_t count);

}  // namespace vexa
