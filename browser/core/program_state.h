#pragma once
// The browser's program-wide values. The browser has one user-interface thread, and these values
// are shared by every window and routine of it; they live in this one object, created by the
// program's start and handed by reference to whatever reads or writes them. Only that thread
// touches it.

#include <string>

namespace kinvo {

struct ProgramState {
    // Host name of the data server (no scheme, port or path), set by discovery; empty while no
    // usable server is known. Every data-server request is "http://" + dataServer + a path.
    std::string dataServer;
    // Body of the last document GetDoc fetched; empty when the last fetch failed or brought
    // nothing. A nested GetDoc overwrites it under its outer caller.
    std::string documentText;
    // Set by Stop and by shutdown: a running catalogue parse ends at its next entry.
    bool stopRequested = false;
    // The desktop's horizontal logical resolution is not 96 dots per inch.
    bool largeFonts = false;
    // Address of the station the player page shows, and a help page waiting to be opened.
    std::string currentAddress;
    std::string pendingHelpPage;
};

}  // namespace kinvo
