#pragma once
// The player checks answered by the installed components: each probe object exists when the
// library that serves its programmatic identifier is installed, and answers from it.

#include "browser/core/player_probes.h"

namespace kinvo::web {

class ComponentLibraries;

class ComponentProbes : public PlayerProbes {
  public:
    explicit ComponentProbes(ComponentLibraries& libraries) : libraries_(libraries) {}

    QuickTimeAnswer probeQuickTime() override;
    VersionAnswer probeWindowsMedia() override;
    VersionAnswer probeRealPlayer() override;

  private:
    ComponentLibraries& libraries_;
};

}  // namespace kinvo::web
