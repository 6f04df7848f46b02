// The proxy settings of commands 766 and 767, kept in the machine registry stand-in under
// "Software\ZEM\Kelpo": "ProxyEnable" (32-bit integer) and "ProxyServer" (text).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vexa {

struct ProxySettings {
    int32_t enabled = 0;
    std::string server;
};

// nullopt when the key cannot be opened. A missing or mistyped value gives (0, ""); the server
// text is cut to 511 characters.
std::optional<ProxySettings> readProxySettings();

// Creates the key when needed, writes "ProxyEnable" and, when that worked, "ProxyServer".
// Failures are silent.
void writeProxySettings(const ProxySettings& settings);

}  // namespace vexa
