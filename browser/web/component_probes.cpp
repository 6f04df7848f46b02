#include "browser/web/component_probes.h"

#include "browser/web/component_libraries.h"

#include <optional>

namespace kinvo::web {
namespace {

PlayerProbes::VersionAnswer versionOf(ComponentLibraries& libraries, const char* progId,
                                      const char* member) {
    const auto answer = libraries.probe(progId, member);
    if (!answer) {
        return {};
    }
    return {true, answer->answered ? answer->text : std::string()};
}

}  // namespace

PlayerProbes::QuickTimeAnswer ComponentProbes::probeQuickTime() {
    const auto answer =
        libraries_.probe("QuickTimeCheckObject.QuickTimeCheck.1", "IsQuickTimeAvailable");
    if (!answer) {
        return {};
    }
    if (!answer->answered) {
        return {true, std::nullopt};
    }
    return {true, answer->text != "0" && !answer->text.empty()};
}

PlayerProbes::VersionAnswer ComponentProbes::probeWindowsMedia() {
    return versionOf(libraries_, "WMPlayer.OCX", "versioninfo");
}

PlayerProbes::VersionAnswer ComponentProbes::probeRealPlayer() {
    return versionOf(libraries_, "rmocx.RealPlayer G2 Control", "GetVersionInfo");
}

}  // namespace kinvo::web
