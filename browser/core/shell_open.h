#pragma once
// ShellOpen: asks the desktop to open a web address or file in the user's default handler.

#include <string_view>

namespace kinvo {

class Prompts;

// The desktop's "open this" service. open() shows the hourglass pointer while it asks and
// returns false when nothing could be started. User-interface thread only.
class ShellOpener {
  public:
    virtual ~ShellOpener() = default;
    virtual bool open(std::string_view target) = 0;
};

// Opens target; when nothing could be started, says so in a box with an OK button only.
void ShellOpen(std::string_view target, ShellOpener& opener, Prompts& prompts);

}  // namespace kinvo
