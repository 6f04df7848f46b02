#pragma once
// An X display of the test's own with a window manager on it, for tests of what a window
// manager does to the main window (a frame with a title bar around it). Started before the
// application, whose platform it must become; both programs end when it goes.
// Main thread only; start() reports failure through reason(), never by throwing.

#include <sys/types.h>

#include <string>

namespace kinvo::testing {

class ManagedDisplay {
  public:
    ManagedDisplay() = default;
    ~ManagedDisplay();
    ManagedDisplay(const ManagedDisplay&) = delete;
    ManagedDisplay& operator=(const ManagedDisplay&) = delete;

    // Starts Xvfb (1280 x 1024, 24 bits) and openbox on it, waits up to 10 s for the window
    // manager to announce itself and to map a window, then points DISPLAY at it. false, with the
    // reason, when either program is missing or does not come up.
    bool start();
    const std::string& reason() const { return reason_; }

  private:
    pid_t server_ = -1;
    pid_t manager_ = -1;
    std::string reason_;
};

}  // namespace kinvo::testing
