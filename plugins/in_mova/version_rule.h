#pragma once
// Which installed runtime a name needs, and what the client hears when it is missing or too old.
// Pure.

#include <cstdint>
#include <optional>

namespace kinvo::in_mova {

inline constexpr uint32_t kMinimumVersion = 0x06308000;           // 6.3
inline constexpr uint32_t kMinimumProtectedVersion = 0x06518000;  // 6.5.1, for ".m4p"

// The registry's "Version" value (nullopt when absent or not a 32-bit number) is enough for the
// name: at least kMinimumVersion, and kMinimumProtectedVersion for a protected name.
bool versionAccepted(std::optional<uint32_t> version, bool protectedName) noexcept;

// The event and status (value 0) raised when a name cannot be played for want of the runtime.
struct RuntimeRefusal {
    int32_t event;
    int32_t status;
};
RuntimeRefusal runtimeRefusal(bool protectedName) noexcept;

}  // namespace kinvo::in_mova
