#include "plugins/enc_common/ini_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace kinvo::enc {

namespace {

std::string_view trimmed(std::string_view text) noexcept {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The section a "[name]" line opens, or empty for any other line.
std::optional<std::string_view> sectionOf(std::string_view line) noexcept {
    const std::string_view text = trimmed(line);
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') {
        return std::nullopt;
    }
    return text.substr(1, text.size() - 2);
}

// The key of a "key=value" line (not a comment), or empty.
std::optional<std::string_view> keyOf(std::string_view line) noexcept {
    const std::string_view text = trimmed(line);
    const auto equals = text.find('=');
    if (text.empty() || text.front() == ';' || text.front() == '#' ||
        equals == std::string_view::npos) {
        return std::nullopt;
    }
    return trimmed(text.substr(0, equals));
}

// The file's lines; nothing for a missing file. False when it exists but cannot be read.
bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return !error;  // missing: no lines yet
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return !in.bad();
}

}  // namespace

std::optional<std::string> readIniValue(const std::string& path, std::string_view section,
                                        std::string_view key) noexcept {
    try {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        bool inSection = false;
        while (std::getline(in, line)) {
            if (const auto name = sectionOf(line)) {
                inSection = *name == section;
            } else if (inSection && keyOf(line) == key) {
                return std::string(trimmed(std::string_view(line).substr(line.find('=') + 1)));
            }
        }
    } catch (...) {
    }
    return std::nullopt;
}

bool writeIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value) noexcept {
    try {
        std::vector<std::string> lines;
        if (!readLines(path, lines)) {
            return false;
        }
        std::string entry = std::string(key) + "=" + std::string(value);
        // Where the section starts and its last key line; the key's own line when present.
        std::optional<size_t> sectionLine, lastKeyLine, keyLine;
        bool inSection = false;
        for (size_t i = 0; i < lines.size() && !keyLine; ++i) {
            if (const auto name = sectionOf(lines[i])) {
                inSection = *name == section && !sectionLine;
                if (inSection) {
                    sectionLine = i;
                }
            } else if (inSection && keyOf(lines[i])) {
                lastKeyLine = i;
                if (keyOf(lines[i]) == key) {
                    keyLine = i;
                }
            }
        }
        if (keyLine) {
            lines[*keyLine] = entry;
        } else if (sectionLine) {
            lines.insert(
                lines.begin() + static_cast<std::ptrdiff_t>(lastKeyLine.value_or(*sectionLine) + 1),
                entry);
        } else {
            if (!lines.empty() && !trimmed(lines.back()).empty()) {
                lines.emplace_back();
            }
            lines.push_back("[" + std::string(section) + "]");
            lines.push_back(entry);
        }
        const std::string temporary = path + ".new";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            for (const std::string& line : lines) {
                out << line << '\n';
            }
            out.flush();
            if (!out) {
                std::remove(temporary.c_str());
                return false;
            }
        }
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            std::remove(temporary.c_str());
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace kinvo::enc
