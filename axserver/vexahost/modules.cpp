#include "axserver/vexahost/modules.h"

namespace vexa {

ServerModules makeServerModules(ServerLink& /*link*/) {
    ServerModules modules;
    // Each module, once built, is made here with the link it reports through, for example
    // modules.inputHost = std::make_unique<...>(link). Missing ones answer "not implemented".
    return modules;
}

}  // namespace vexa
