#pragma once
// What starting a station needs of the player page builder: stop what plays, then build and show
// the page for a station. The window binds it to the builder. User-interface thread only.

#include <string>

namespace kinvo {

class StationPlayer {
  public:
    virtual ~StationPlayer() = default;

    // Hides the web view and unloads its page, and with it the player.
    virtual void StopPlayer() = 0;
    // Builds the page for address (in the catalogue's character shift, as the list holds it)
    // and shows it; may leave a help page to open in ProgramState::pendingHelpPage.
    virtual void BuildPlayerPage(const std::string& address, std::string& name) = 0;
};

}  // namespace kinvo
