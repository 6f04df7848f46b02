#include "plugins/in_mova/binding/host_registry.h"

#include <cstring>
#include <vector>

namespace kinvo::in_mova {

std::optional<uint32_t> readRegistryNumber(int32_t root, const char* key,
                                           const char* name) noexcept {
    if (sonariRegQueryValue == nullptr) {
        return std::nullopt;
    }
    uint32_t type = 0;
    uint32_t value = 0;
    uint32_t size = sizeof(value);
    if (sonariRegQueryValue(root, key, name, &type, &value, &size) != SONARI_ERROR_SUCCESS ||
        type != SONARI_REG_DWORD || size != sizeof(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> readRegistryText(int32_t root, const char* key, const char* name,
                                            uint32_t maxBytes) noexcept {
    if (sonariRegQueryValue == nullptr || maxBytes == 0) {
        return std::nullopt;
    }
    try {
        std::vector<char> data(maxBytes + 1, '\0');
        uint32_t type = 0;
        uint32_t size = maxBytes;
        if (sonariRegQueryValue(root, key, name, &type, data.data(), &size) !=
                SONARI_ERROR_SUCCESS ||
            type != SONARI_REG_SZ) {
            return std::nullopt;
        }
        return std::string(data.data(), strnlen(data.data(), maxBytes));
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace kinvo::in_mova
