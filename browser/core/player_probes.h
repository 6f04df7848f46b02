#pragma once
// Checks that a player is installed before its page is written. The probe objects answer what
// they found; the functions below turn their answers into present or missing by fixed rules.
// The program's probes ask the installed player components (browser/web/component_probes.h).

#include "browser/core/player_page_text.h"

#include <memory>
#include <optional>
#include <string>

namespace kinvo {

class PlayerProbes {
  public:
    // The QuickTime check object: whether it could be created, and the result of asking it
    // whether QuickTime is available (nullopt when the call itself failed).
    struct QuickTimeAnswer {
        bool created = false;
        std::optional<bool> available;
    };
    // The media player object and the RealPlayer object: whether they could be created, and
    // their version text (empty when it could not be read).
    struct VersionAnswer {
        bool created = false;
        std::string version;
    };

    virtual ~PlayerProbes() = default;
    virtual QuickTimeAnswer probeQuickTime() = 0;
    virtual VersionAnswer probeWindowsMedia() = 0;
    virtual VersionAnswer probeRealPlayer() = 0;
};

// The decision for one probe's answer.
bool quickTimePresent(const PlayerProbes::QuickTimeAnswer& answer);
// An empty version counts as "11.0"; the part before the first "." must be 9 or more.
bool windowsMediaPresent(const std::string& version);
// Missing when empty, when the first character reads below 6, when it has fewer than three
// parts split at ".", or when it is 6.x.y with y below 10.
bool realPlayerPresent(const std::string& version);

}  // namespace kinvo
