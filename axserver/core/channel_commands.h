// The commands the control channel carries out itself: the instance stop (600), the reserved
// and unsupported texts (728, 730, 731, 732), cross-instance control (740), the instance title
// and enumeration (749, 750), the proxy settings (766, 767) and the client swap (800).
// Main thread only.
#pragma once

#include <string>

#include "axserver/modules/command_module.h"

namespace vexa {

class Server;

class ChannelCommands final : public ServerModule {
  public:
    explicit ChannelCommands(Server& server) : server_(server) {}
    std::span<const CommandHandler> commands() const noexcept override;

  private:
    win::LRESULT instanceStop(CommandCall& call);
    win::LRESULT notImplemented(CommandCall& call);
    win::LRESULT getReservedText(CommandCall& call);
    win::LRESULT setReservedText(CommandCall& call);
    win::LRESULT unsupportedText(CommandCall& call);
    win::LRESULT setCrossInstance(CommandCall& call);
    win::LRESULT setInstanceTitle(CommandCall& call);
    win::LRESULT getInstance(CommandCall& call);
    win::LRESULT getProxy(CommandCall& call);
    win::LRESULT setProxy(CommandCall& call);
    win::LRESULT swapClient(CommandCall& call);

    Server& server_;
    std::string reservedText_;  // stored by 731, read by nothing
};

}  // namespace vexa
