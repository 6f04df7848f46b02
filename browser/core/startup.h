#pragma once
// The browser's life: start-up (splash, discovery, first-run questions, window placement,
// GetSettings with the first station list) and shutdown (what is kept of the user's state).
// Every step that fails is skipped and the next one runs; the only reports are the message
// boxes of the steps themselves. User-interface thread only.

#include <functional>
#include <string>

namespace kinvo {

class Catalogue;
class MainWindowHost;
class Prompts;
class ShellOpener;
class VolumeControl;
struct Browser;

struct LifeParts {
    Browser& browser;
    Catalogue& catalogue;
    Prompts& prompts;
    ShellOpener& shell;
    VolumeControl& volume;
    MainWindowHost& host;
    std::function<void()> letEventsRun;  // lets pending window events run once
};

class BrowserLife {
  public:
    explicit BrowserLife(LifeParts parts) : p_(std::move(parts)) {}

    // Start-up, run once by the main window; false when no data server could be used (the
    // main window has then been asked to close).
    bool startUp();
    // Applies the stored settings and brings up the first station list.
    void GetSettings();
    // The main window's close request, whatever asks; runs once.
    void shutdown();
    void SaveWindowPlacement();

    bool shutDown() const { return shutDown_; }

  private:
    void restoreLastStation();

    LifeParts p_;
    bool shutDown_ = false;
};

}  // namespace kinvo
