#include "axserver/outputs/output_host_module.h"

namespace vexa {

void OutputHostModule::loadPlugins() noexcept {
    try {
        host_.loadAll(link_.moduleDir(), link_.serverWindow());
    } catch (...) {
        // Out of memory while loading: the plug-ins loaded so far stay, the rest are missing.
    }
}

void OutputHostModule::unloadPlugins() noexcept {
    host_.unloadAll();
}

std::unique_ptr<ServerModule> makeOutputHostModule(ServerLink& link, const ServerModules&) {
    return std::make_unique<OutputHostModule>(link);
}

}  // namespace vexa
