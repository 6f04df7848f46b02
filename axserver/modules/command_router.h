// The routes from command numbers to the modules that answer them, gathered from the modules'
// own command rows. Made at start-up, then read on the main thread only.
#pragma once

#include <vector>

#include "axserver/modules/command_module.h"

namespace vexa {

class CommandRouter {
  public:
    CommandRouter();

    // Adds every row of `module`, which must outlive the router. A row for a number outside the
    // command table, or for a number another row already answers, is a bug (asserted) and left
    // out.
    void add(ServerModule& module);

    // Carries the command out through its module: the row's answer, kStatusFailed when it let an
    // exception out, kStatusNotImplemented when no module answers the command.
    win::LRESULT dispatch(CommandCall& call) const noexcept;

  private:
    struct Route {
        ServerModule* module = nullptr;
        CommandHandler::Run run = nullptr;
    };
    const Route& route(const CommandInfo& info) const;

    std::vector<Route> routes_;  // indexed like allCommands()
};

}  // namespace vexa
