#include "axserver/playback/process_priority.h"

#include <sys/resource.h>

namespace vexa::playback {

void setNormalPriority() noexcept {
    (void)::setpriority(PRIO_PROCESS, 0, 0);
}

}  // namespace vexa::playback
