// The process's scheduling priority. Plug-ins may raise it while they start a stream; playback
// sets it back to normal whenever a start or a stop ends.
#pragma once

namespace vexa::playback {

// nice 0 for the whole process; a refusal (a raised nice value needs privileges to lower) is
// ignored. Any thread.
void setNormalPriority() noexcept;

}  // namespace vexa::playback
