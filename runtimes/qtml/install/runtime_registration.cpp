#include "runtimes/qtml/install/runtime_registration.h"

namespace kinvo::qtml {

Registration registerRuntime(win::Registry& registry, unsigned version, const std::string& folder) {
    using win::RegStatus;
    using win::RootKey;
    win::RegValue current;
    const RegStatus read =
        registry.queryValue(RootKey::LocalMachine, kRuntimeKey, "Version", current);
    if (read == RegStatus::Damaged) {
        return {read, 0};
    }
    if (read == RegStatus::Ok && current.type == win::RegValue::Type::Dword &&
        current.number >= version) {
        return {RegStatus::Ok, current.number};
    }
    RegStatus status = registry.setValue(RootKey::LocalMachine, kRuntimeKey, "Version",
                                         win::RegValue::dword(version));
    if (status == RegStatus::Ok) {
        status = registry.setValue(RootKey::LocalMachine, kRuntimeKey, "QuickTime.qts folder",
                                   win::RegValue::string(folder));
    }
    return {status, status == RegStatus::Ok ? version : 0};
}

}  // namespace kinvo::qtml
