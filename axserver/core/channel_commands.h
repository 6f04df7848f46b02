// The commands the control channel carries out itself: the instance stop (600), the reserved
// and unsupported texts (728, 730, 731, 732), cross-instance control (740), the instance title
// and enumeration (749, 750), the proxy settings (766, 767) and the client swap (800).
// Main thread only.
#pragma once

#include <string>

#include "axserver/modules/command_module.h"

namespace vexa {

class Server;

class ChannelCommands final : public CommandModule {
public:
    explicit ChannelCommands(Server& server) : server_(server) {}
    win::LRESULT handleCommand(CommandCall& call) noexcept override;

private:
    win::LRESULT getInstance(CommandCall& call);
    win::LRESULT swapClient(win::WPARAM swapNumber);

    Server& server_;
    std::string reservedText_;  // stored by 731, read by nothing
};

}  // namespace vexa
