// The PLS reader: the entries of a PLS playlist, read from its [playlist] section by the
// platform's profile-file rules. The playlist decides which entries it adds.
//
// "NumberOfEntries" says how many "File<n>" keys to look at (1 to n, in order); only the numbers
// whose key the file holds are visited, so a count far beyond the file's keys costs nothing. Titles
// and lengths are read only from "Version" 2 on.
//
// Pure function: any thread; nothing throws but std::bad_alloc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile_file.h"

namespace vexa::playlist {

// A file name keeps at most this many characters.
inline constexpr size_t kMaxPlsFile = 8195;

struct PlsEntry {
    std::string file;   // never empty
    std::string title;  // empty without titles
    int32_t seconds = -1;
};

struct PlsContents {
    int32_t declared = -1;  // "NumberOfEntries", -1 when missing
    std::vector<PlsEntry> entries;
};

PlsContents readPls(const win::ProfileFile& file);

}  // namespace vexa::playlist
