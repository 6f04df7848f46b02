#include "axserver/vexahost/modules.h"

#include "axserver/inputs/input_host_module.h"
#include "axserver/outputs/output_host_module.h"

namespace vexa {

ServerModules makeServerModules(ServerLink& link) {
    ServerModules modules;
    auto outputs = std::make_unique<OutputHostModule>(link);
    modules.inputHost = std::make_unique<InputHostModule>(link, outputs->plugins());
    modules.outputHost = std::move(outputs);
    // Each module, once built, is made here with the link it reports through, for example
    // modules.inputHost = std::make_unique<...>(link). Missing ones answer "not implemented".
    return modules;
}

}  // namespace vexa
