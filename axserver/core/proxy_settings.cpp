#include "axserver/core/proxy_settings.h"

namespace vexa {

// Stand-in until the platform layer's registry is merged: the key cannot be opened.
std::optional<ProxySettings> readProxySettings() {
    return std::nullopt;
}

void writeProxySettings(const ProxySettings&) {}

}  // namespace vexa
