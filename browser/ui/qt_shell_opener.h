#pragma once
// The desktop's "open this" service through QDesktopServices (xdg-open).

#include "browser/core/shell_open.h"

namespace kinvo {

class QtShellOpener : public ShellOpener {
  public:
    bool open(std::string_view target) override;
};

}  // namespace kinvo
