// The output host's fixed names and texts.
#pragma once

#include <cstdint>

namespace vexa {

// Output plug-ins are the files "out_*.so" of the plug-in folder.
inline constexpr char kOutputPluginPrefix[] = "out_";
// The preferred output before loading, the one tried first, and the fallback when its trial
// open fails.
inline constexpr char kInitialPreferredOutput[] = "out_qpcm.so";
inline constexpr char kPreferredOutput[] = "out_qsnd.so";
inline constexpr char kFallbackOutput[] = "out_qmix.so";
// The trial open's format: 44100 Hz, 2 channels, 16 bits, the plug-in's own buffer times.
inline constexpr int32_t kTrialRate = 44100;
inline constexpr int32_t kTrialChannels = 2;
inline constexpr int32_t kTrialBits = 16;
inline constexpr int32_t kTrialDefaultTime = -1;

// The host's own output record.
inline constexpr char kDummyOutputDescription[] = "dummy output";
inline constexpr intptr_t kDummyOutputIdentifier = 578677;
inline constexpr int32_t kDummyOutputCanWrite = 65536;

}  // namespace vexa
