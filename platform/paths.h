#pragma once
// Paths: "/" is the separator; rules that look for "\" accept "/" and "\" alike.
//
// fullPath is GetFullPathName: the name made absolute against the current folder and cleaned of
// "." and ".." parts, purely by text (the file need not exist). longName is GetLongPathName: the
// path when it exists (Linux has no short names), nullopt when it does not. Nothing throws.

#include <optional>
#include <string>
#include <string_view>

namespace win {

std::string fullPath(std::string_view name);
std::optional<std::string> longName(const std::string& path);

// The folder of a path, cut at its last "/" or "\" (the separator removed); "" without one.
std::string folderOf(std::string_view path);
// The part after the last "/" or "\".
std::string_view fileNameOf(std::string_view path);

bool fileExists(const std::string& path);

}  // namespace win
