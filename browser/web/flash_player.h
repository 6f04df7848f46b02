#pragma once
// Flash movies on player pages play in the Flash emulator the program ships in its folder
// (<program's folder>/ruffle/, its self-hosted web build), loaded through the program's own
// scheme and never from the network.
//
// Error policy: nothing throws; without the emulator's files a Flash page shows an empty area
// (the script's request for the emulator fails) and every other page is unaffected.

class QString;
class QWebEnginePage;

namespace kinvo::web {

// Readies page for Flash: installs the program scheme's handler for programDir on the page's
// profile (once per profile; registerProgramScheme() must have run before the QApplication),
// lets sound start without a click and the local player page reach the station's HTTP
// address, and injects the script that swaps each Flash object of a page for the emulator's
// player. User-interface thread; call before the page loads anything.
void enableFlashPlayback(QWebEnginePage& page, const QString& programDir);

// The flash script with the emulator's address filled in.
QString flashScriptSource();

}  // namespace kinvo::web
