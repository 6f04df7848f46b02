#pragma once
// Wildcard file search as FindFirstFile/FindNextFile gave it on NTFS: the entries of one folder
// whose names match a pattern of "*" (any run) and "?" (one character) without regard to case,
// in name order (compared without regard to case, ties by bytes). "." and ".." are never listed.
//
// An unreadable or missing folder gives an empty list. Thread-safe; nothing throws.

#include <string>
#include <string_view>
#include <vector>

namespace win {

struct FoundFile {
    std::string name;  // without folder
    bool isFolder = false;
};

std::vector<FoundFile> findFiles(const std::string& folder, std::string_view pattern);

// The pattern rule on its own.
bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace win
