#pragma once
// The "/media/" folder: maps a request path to a regular file inside the media folder, never
// outside it (no "..", no links leading out), and names its content type.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kinvo::ds {

// `root` must be canonical. `relative` is the path after "/media/", still escaped.
std::optional<std::filesystem::path> resolveMediaFile(const std::filesystem::path& root,
                                                      std::string_view relative);

std::string mediaContentType(const std::filesystem::path& file);

}  // namespace kinvo::ds
