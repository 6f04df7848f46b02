#include "controls/player/player_kind.h"

#include <algorithm>
#include <cctype>

namespace kinvo::controls {

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// The last value the element gave the parameter; null when none.
const std::string* param(const ElementParams& params, std::string_view name) {
    const std::string* found = nullptr;
    for (const auto& [key, value] : params) {
        if (equalsNoCase(key, name)) {
            found = &value;
        }
    }
    return found;
}

}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

bool containsNoCase(std::string_view text, std::string_view part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                          [](char x, char y) { return lower(x) == lower(y); });
    return it != text.end() || part.empty();
}

bool isTrue(std::string_view value) {
    value = trimmed(value);
    for (std::string_view yes : {"1", "-1", "true", "yes", "on"}) {
        if (equalsNoCase(value, yes)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> mmsRollover(std::string_view address) {
    constexpr std::string_view kMms = "mms://";
    std::vector<std::string> entries{std::string(address)};
    if (address.size() > kMms.size() && equalsNoCase(address.substr(0, kMms.size()), kMms)) {
        entries.push_back("http://" + std::string(address.substr(kMms.size())));
    }
    return entries;
}

PlayerSetup resolveSetup(const PlayerKind& kind, const ElementParams& params) {
    PlayerSetup setup;
    if (const std::string* address = param(params, kind.addressParam)) {
        std::string_view text = trimmed(*address);
        if (!text.empty()) {
            setup.addresses = kind.addresses != nullptr
                                  ? kind.addresses(text)
                                  : std::vector<std::string>{std::string(text)};
        }
    }
    const std::string* autostart = param(params, kind.autostartParam);
    setup.autostart = autostart != nullptr ? isTrue(*autostart) : kind.autostartDefault;
    const std::string* controls = param(params, kind.controlsParam);
    setup.showsControls = controls != nullptr && kind.showsControls(*controls);
    return setup;
}

}  // namespace kinvo::controls
