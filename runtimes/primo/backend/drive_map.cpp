#include "runtimes/primo/backend/drive_map.h"

#include <sonari/host_system.h>

#include <cctype>
#include <cstring>

#include "lib/burn/drive.h"
#include "lib/burn/library.h"

namespace primo {

DriveTarget resolveDrive(uint32_t letter, const DriveLookups& lookups) {
    DriveTarget target;
    if (letter > 0x7F || !std::isalpha(static_cast<int>(letter))) {
        return target;
    }
    const char upper = static_cast<char>(std::toupper(static_cast<int>(letter)));
    if (auto value = lookups.configured ? lookups.configured(upper) : std::nullopt) {
        if (value->starts_with(kImagePrefix)) {
            target.path = value->substr(std::strlen(kImagePrefix));
            target.kind =
                target.path.empty() ? DriveTarget::Kind::kNone : DriveTarget::Kind::kImage;
        } else if (!value->empty()) {
            target.kind = DriveTarget::Kind::kDevice;
            target.path = *value;
        }
        return target;
    }
    if (upper < kFirstOpticalLetter || !lookups.scan) {
        return target;
    }
    std::vector<std::string> drives = lookups.scan();
    const auto index = static_cast<size_t>(upper - kFirstOpticalLetter);
    if (index < drives.size()) {
        target.kind = DriveTarget::Kind::kDevice;
        target.path = drives[index];
    }
    return target;
}

DriveLookups processDriveLookups() {
    DriveLookups lookups;
    lookups.configured = [](char letter) -> std::optional<std::string> {
        if (sonariRegQueryValue == nullptr) {
            return std::nullopt;
        }
        const char name[2] = {letter, '\0'};
        char data[4096] = {};
        uint32_t type = 0;
        uint32_t size = sizeof data - 1;
        if (sonariRegQueryValue(SONARI_HKEY_CURRENT_USER, kDrivesKey, name, &type, data, &size) !=
                SONARI_ERROR_SUCCESS ||
            type != SONARI_REG_SZ) {
            return std::nullopt;
        }
        return std::string(data, strnlen(data, sizeof data - 1));
    };
    lookups.scan = [] {
        kinvo::burn::Library library;
        return library.ok() ? kinvo::burn::scanDriveAddresses() : std::vector<std::string>();
    };
    return lookups;
}

}  // namespace primo
