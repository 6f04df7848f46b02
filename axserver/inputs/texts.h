// The input host's fixed names and texts.
#pragma once

#include <sonari/in_module.h>

#include <cstddef>

namespace vexa {

// Input plug-ins are the files "in_*.so" of the plug-in folder.
inline constexpr char kInputPluginPrefix[] = "in_";
// The name whose plug-in takes every name that no plug-in claims or declares.
inline constexpr char kFallbackName[] = "hi.mp3";
// The start-up item that configures the network buffering of the QRX stream plug-in.
inline constexpr char kHttpConfigFile[] = "blah.qrx";
inline constexpr char kHttpConfigKey[] = "setHttpConfigValues";
inline constexpr char kHttpConfigValue[] = "16000,2750,3250";
// The plug-in that offers the custom DRM switch, found by this description prefix.
inline constexpr char kCustomDrmPluginPrefix[] = SONARI_CUSTOM_DRM_PLUGIN;

// Lengths: the lookup key of a name, the key of the extended-information caches, one declared
// extension as compared, the file type list of command 702.
inline constexpr size_t kLookupKeyLimit = 127;
inline constexpr size_t kCacheKeyLimit = 15;
inline constexpr size_t kExtensionLimit = 15;
inline constexpr size_t kFileTypeListLimit = 8191;

}  // namespace vexa
