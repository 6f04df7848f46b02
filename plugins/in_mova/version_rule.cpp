#include "plugins/in_mova/version_rule.h"

namespace kinvo::in_mova {

bool versionAccepted(std::optional<uint32_t> version, bool protectedName) noexcept {
    return version && *version >= (protectedName ? kMinimumProtectedVersion : kMinimumVersion);
}

RuntimeRefusal runtimeRefusal(bool protectedName) noexcept {
    return protectedName ? RuntimeRefusal{113, 241} : RuntimeRefusal{110, 238};
}

}  // namespace kinvo::in_mova
