#pragma once
// kinvo --player-page ADDRESS: the player page for one catalogue address without a window. The
// page is built with the stored settings, the given zoom and category text, and written to
// viewtemp.htm in the program folder, whose path is printed. A missing player's question goes
// to messages and is answered Cancel, so nothing is opened and no page is written.

#include <cstdio>

namespace kinvo {

class PlayerProbes;
struct BrowserOptions;

inline constexpr int kExitPageWritten = 0;
inline constexpr int kExitPageNotWritten = 1;
inline constexpr int kExitPlayerMissing = 3;

// Needs a QCoreApplication. options.playerPage holds the address; probes say which players are
// installed (the program asks the installed components).
int printPlayerPage(const BrowserOptions& options, PlayerProbes& probes, std::FILE* out,
                    std::FILE* messages);

}  // namespace kinvo
