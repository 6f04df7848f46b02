#pragma once
// FFmpeg's log level for the whole plug-in, set from the environment (lib/ffmpeg/log_level.h)
// by whichever comes first: init, or the first extended-read open of a host that never calls
// init. Once per loaded library, so that no later call writes the level while a thread decodes.
// Any thread; never throws.

namespace kinvo::in_av {

void applyLogLevelOnce() noexcept;

}  // namespace kinvo::in_av
