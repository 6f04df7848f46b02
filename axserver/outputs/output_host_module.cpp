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

}  // namespace vexa
