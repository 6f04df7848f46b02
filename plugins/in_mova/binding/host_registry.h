#pragma once
// Registry values read through the host's sonariRegQueryValue (host_system.h). Any thread.
// A host without the function, a missing value or one of another type answer nullopt.

#include <sonari/host_system.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kinvo::in_mova {

// A 32-bit number value (type SONARI_REG_DWORD, exactly 4 bytes).
std::optional<uint32_t> readRegistryNumber(int32_t root, const char* key,
                                           const char* name) noexcept;
// A text value (type SONARI_REG_SZ) of at most maxBytes bytes, its terminating zero included.
std::optional<std::string> readRegistryText(int32_t root, const char* key, const char* name,
                                            uint32_t maxBytes) noexcept;

// The runtime's own key, under either root.
inline constexpr const char* kRuntimeKey = "Software\\Apple Computer, Inc.\\QuickTime";

}  // namespace kinvo::in_mova
