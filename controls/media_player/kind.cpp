#include "controls/media_player/kind.h"

namespace kinvo::controls {

namespace {

// A version the pages accept (9 or above).
std::string version(const std::string&) {
    return "12.0.0.0";
}

bool controlsShown(std::string_view value) {
    return isTrue(value);
}

}  // namespace

// "mms://" addresses roll over to "http://" as two playlist entries: when the first fails the
// server moves on to the second.
const PlayerKind kMediaPlayerKind{
    "22d6f312-b0f6-11d0-94ab-0080c74c7e95",
    "WMPlayer.OCX",
    "versioninfo",
    &version,
    "FileName",
    "AutoStart",
    true,
    "ShowControls",
    &controlsShown,
    &mmsRollover,
};

}  // namespace kinvo::controls
