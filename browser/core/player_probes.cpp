#include "browser/core/player_probes.h"

#include "catalogue/catalogue_entries.h"

#include <string_view>
#include <vector>

namespace kinvo {
namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != text.npos; at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

bool quickTimePresent(const PlayerProbes::QuickTimeAnswer& answer) {
    if (!answer.created) {
        return false;
    }
    return answer.available.value_or(true);
}

bool windowsMediaPresent(const std::string& version) {
    const std::string_view text = version.empty() ? std::string_view("11.0") : version;
    const std::size_t point = text.find('.');
    if (point == text.npos) {
        return false;
    }
    return leadingNumber(text.substr(0, point)) >= 9;
}

bool realPlayerPresent(const std::string& version) {
    if (version.empty() || leadingNumber(version.substr(0, 1)) < 6) {
        return false;
    }
    const std::vector<std::string_view> parts = split(version, '.');
    if (parts.size() < 3) {
        return false;
    }
    return !(leadingNumber(parts[0]) == 6 && leadingNumber(parts[2]) < 10);
}

}  // namespace kinvo
