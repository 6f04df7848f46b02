#pragma once
// The temporary folder and unique temporary files. tempFolder is $TMPDIR when it names a folder,
// else "/tmp", always with a final "/" (as GetTempPath gives it). uniqueTempFile creates an empty
// file "<folder>/<prefix>XXXXXX" (mkstemp, mode 0600) and answers its path, nullopt on failure;
// the caller removes it. Thread-safe; nothing throws.

#include <optional>
#include <string>
#include <string_view>

namespace win {

std::string tempFolder();
std::optional<std::string> uniqueTempFile(std::string_view folder, std::string_view prefix);

}  // namespace win
