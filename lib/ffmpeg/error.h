#pragma once
// FFmpeg's error codes as text. Any thread; never throws.

#include <string>

namespace kinvo::ffmpeg {

// The text of an AVERROR code ("End of file", "Immediate exit requested", ...); for a code
// FFmpeg does not know, "error <code>".
std::string errorText(int code) noexcept;

}  // namespace kinvo::ffmpeg
