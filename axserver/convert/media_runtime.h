#pragma once
// The version of the Windows Media runtime that the system asks of "wmvcore.dll": 9 when the
// FFmpeg in use can decode Windows Media Audio (its wmav2 decoder exists), else 0. Transcoding
// and burn requests follow this rule. Thread-safe; the answer is worked out once.

namespace vexa {

int windowsMediaRuntimeVersion();

}  // namespace vexa
