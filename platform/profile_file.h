#pragma once
// Profile files (".ini", ".pls") read by the rules of GetPrivateProfileString/Int:
//  - "[name]" opens a section; "key=value" lines belong to the last section opened; lines that
//    begin with ";" and lines without "=" are skipped; a byte-order mark and CR LF are accepted;
//  - sections and keys are compared without regard to case; the first matching line wins;
//  - blanks and tabs around keys and values are removed, then one pair of matching quotes
//    ('...' or "...") around a value;
//  - a missing file, section or key gives the default.
// Integers: the value read like atoi with an optional sign and a "0x" form for hexadecimal; a
// value that does not begin with a number gives 0; a missing or empty value gives the default.
//
// Pure readers: thread-safe, nothing throws.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace win {

class ProfileFile {
  public:
    static ProfileFile parse(std::string_view text);
    // nullopt when the file cannot be read.
    static std::optional<ProfileFile> load(const std::string& path);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // At most bufferSize - 1 characters, as a Windows buffer of that size holds.
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize = 65536) const;
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The key and value of every line of the section (every section of that name), in file
    // order: what value() would find, for readers that look up many keys.
    std::vector<std::pair<std::string, std::string>> section(std::string_view name) const;

  private:
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Entry> entries_;
};

std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& file,
                                    std::size_t bufferSize = 65536);
int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file);

// The integer rule on its own.
int profileInt(std::string_view text, int defaultValue);

}  // namespace win
