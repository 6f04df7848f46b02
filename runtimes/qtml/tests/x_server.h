#pragma once
// A private Xvfb for the window tests that need a server unlike the test display (without
// MIT-SHM, so that pictures go as plain image requests cut into strips). Killed
// again when dropped. display() is empty when Xvfb could not be started.

#include <sys/types.h>

#include <string>
#include <vector>

namespace kinvo::qtml::testing {

class XServer {
  public:
    explicit XServer(const std::vector<std::string>& arguments);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }

  private:
    pid_t server_ = 0;
    std::string display_;
};

}  // namespace kinvo::qtml::testing
