#pragma once
// The encoders' options file: a plain INI file of "[section]" lines and "key=value" lines. Section
// names are taken exactly as written between the brackets ("[MP3 ]" is the section "MP3 "); keys
// and values lose the spaces around them; keys compare exactly. Lines the reader does not
// understand (comments, blank lines, other sections) are kept as they are when a value is written.
//
// Any thread, one writer per file at a time (the host calls SetConfigItem on its main thread).
// Never throws: failures answer empty or false.

#include <optional>
#include <string>
#include <string_view>

namespace kinvo::enc {

// The value of key in section; empty when the file, the section or the key is missing.
std::optional<std::string> readIniValue(const std::string& path, std::string_view section,
                                        std::string_view key) noexcept;

// Sets key = value in section: replaces the key's first line in that section, else adds the line
// after the section's last key, else adds the section at the end of the file (made when missing).
// The file is replaced whole through a temporary file beside it. Answers false when it cannot be
// read or written.
bool writeIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value) noexcept;

}  // namespace kinvo::enc
