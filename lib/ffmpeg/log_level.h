#pragma once
// FFmpeg's log output, which is process-wide: quiet by default so that a plug-in leaves the
// host's stderr alone; the environment variable KINVO_AV_LOG turns it on ("error", "warning",
// "info", "verbose", "debug", "trace" or a number of libavutil's AV_LOG_* scale; any other
// non-empty value means "info"). Call from the thread that loads the user of FFmpeg, before it
// decodes anything; never throws.

namespace kinvo::ffmpeg {

void applyLogLevelFromEnvironment() noexcept;

}  // namespace kinvo::ffmpeg
