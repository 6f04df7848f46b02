#include "axserver/modules/command_router.h"

#include <cassert>

#include "channel/protocol.h"

namespace vexa {

namespace {

size_t indexOf(const CommandInfo& info) {
    return static_cast<size_t>(&info - allCommands().data());
}

}  // namespace

CommandRouter::CommandRouter() : routes_(allCommands().size()) {}

void CommandRouter::add(ServerModule& module) {
    for (const CommandHandler& handler : module.commands()) {
        const CommandInfo* info = findCommand(handler.number);
        assert(info != nullptr && "a module answers a number that is not a command");
        if (info == nullptr) {
            continue;
        }
        Route& route = routes_[indexOf(*info)];
        assert(route.run == nullptr && "two modules answer the same command");
        if (route.run == nullptr) {
            route = Route{&module, handler.run};
        }
    }
}

const CommandRouter::Route& CommandRouter::route(const CommandInfo& info) const {
    return routes_[indexOf(info)];
}

win::LRESULT CommandRouter::dispatch(CommandCall& call) const noexcept {
    const Route& r = route(call.info());
    if (r.run == nullptr) {
        return static_cast<win::LRESULT>(kStatusNotImplemented);
    }
    try {
        return r.run(*r.module, call);
    } catch (...) {
        return static_cast<win::LRESULT>(kStatusFailed);
    }
}

}  // namespace vexa
