#include "platform/profile_file.h"

#include "platform/reg_hive.h"
#include "platform/trimmed.h"
#include "platform/whole_file.h"

#include <climits>

namespace win {

using detail::trimmed;

ProfileFile ProfileFile::parse(std::string_view text) {
    ProfileFile file;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::string section;
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section = std::string(trimmed(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            inSection = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) {
            continue;
        }
        std::string_view value = trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        file.entries_.push_back(
            Entry{section, std::string(trimmed(line.substr(0, equals))), std::string(value)});
    }
    return file;
}

std::optional<ProfileFile> ProfileFile::load(const std::string& path) {
    std::string text;
    if (detail::readWholeFile(path, text) != detail::ReadResult::Ok) {
        return std::nullopt;
    }
    return parse(text);
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
    section = trimmed(section);
    key = trimmed(key);
    for (const Entry& entry : entries_) {
        if (equalsNoCase(entry.section, section) && equalsNoCase(entry.key, key)) {
            return entry.value;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> ProfileFile::section(std::string_view name) const {
    name = trimmed(name);
    std::vector<std::pair<std::string, std::string>> lines;
    for (const Entry& entry : entries_) {
        if (equalsNoCase(entry.section, name)) {
            lines.emplace_back(entry.key, entry.value);
        }
    }
    return lines;
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t bufferSize) const {
    std::string result(value(section, key).value_or(std::string(defaultValue)));
    if (bufferSize == 0) {
        return {};
    }
    if (result.size() > bufferSize - 1) {
        result.resize(bufferSize - 1);
    }
    return result;
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto text = value(section, key);
    return text ? profileInt(*text, defaultValue) : defaultValue;
}

int profileInt(std::string_view text, int defaultValue) {
    text = trimmed(text);
    if (text.empty()) {
        return defaultValue;
    }
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    long long value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            break;
        }
        // Wraps like a 32-bit accumulator would.
        value = static_cast<long long>(static_cast<unsigned int>(value * base + digit));
    }
    const auto result = static_cast<int>(static_cast<unsigned int>(value));
    return negative ? static_cast<int>(0u - static_cast<unsigned int>(result)) : result;
}

std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& file,
                                    std::size_t bufferSize) {
    return ProfileFile::load(file)
        .value_or(ProfileFile{})
        .getString(section, key, defaultValue, bufferSize);
}

int getPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file) {
    const auto profile = ProfileFile::load(file);
    return profile ? profile->getInt(section, key, defaultValue) : defaultValue;
}

}  // namespace win
