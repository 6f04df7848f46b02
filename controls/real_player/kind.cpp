#include "controls/real_player/kind.h"

namespace kinvo::controls {

namespace {

// A version the pages accept: first digit 6 or more, and in 6.x.y a third part of 10 or more.
std::string version(const std::string&) {
    return "6.0.14.806";
}

// The controls parameter lists panes separated by commas; the bar shows for "ControlPanel" or
// "All".
bool controlsShown(std::string_view value) {
    while (!value.empty()) {
        std::size_t comma = value.find(',');
        std::string_view item = value.substr(0, comma);
        while (!item.empty() && item.front() == ' ') {
            item.remove_prefix(1);
        }
        while (!item.empty() && item.back() == ' ') {
            item.remove_suffix(1);
        }
        if (equalsNoCase(item, "ControlPanel") || equalsNoCase(item, "All")) {
            return true;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        value.remove_prefix(comma + 1);
    }
    return false;
}

}  // namespace

const PlayerKind kStreamingPlayerKind{
    "CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA",
    "rmocx.RealPlayer G2 Control",
    "GetVersionInfo",
    &version,
    "src",
    "autostart",
    true,
    "controls",
    &controlsShown,
    nullptr,
};

}  // namespace kinvo::controls
