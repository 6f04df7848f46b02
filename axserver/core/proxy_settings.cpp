#include "axserver/core/proxy_settings.h"

#include "channel/protocol.h"
#include "platform/registry.h"

namespace vexa {

namespace {
constexpr size_t kServerTextLimit = 511;  // read into 512 bytes, the last one a zero
}  // namespace

std::optional<ProxySettings> readProxySettings() {
    win::Registry& registry = win::Registry::process();
    const auto root = win::RootKey::LocalMachine;
    if (registry.openKey(root, kProxyKey) != win::RegStatus::Ok) {
        return std::nullopt;
    }
    ProxySettings settings;
    win::RegValue enable, server;
    if (registry.queryValue(root, kProxyKey, kProxyEnableValue, enable) != win::RegStatus::Ok ||
        enable.type != win::RegValue::Type::Dword ||
        registry.queryValue(root, kProxyKey, kProxyServerValue, server) != win::RegStatus::Ok ||
        server.type != win::RegValue::Type::String) {
        return settings;
    }
    settings.enabled = static_cast<int32_t>(enable.number);
    settings.server = server.text.substr(0, kServerTextLimit);
    settings.server = settings.server.substr(0, settings.server.find('\0'));
    return settings;
}

void writeProxySettings(const ProxySettings& settings) {
    win::Registry& registry = win::Registry::process();
    const auto root = win::RootKey::LocalMachine;
    if (registry.createKey(root, kProxyKey) != win::RegStatus::Ok) {
        return;
    }
    if (registry.setValue(root, kProxyKey, kProxyEnableValue,
                          win::RegValue::dword(static_cast<uint32_t>(settings.enabled))) !=
        win::RegStatus::Ok) {
        return;
    }
    registry.setValue(root, kProxyKey, kProxyServerValue, win::RegValue::string(settings.server));
}

}  // namespace vexa
