#include "axserver/modules/server_modules.h"

namespace vexa {

ServerModules& ServerModules::operator=(ServerModules&& other) noexcept {
    if (this != &other) {
        clear();
        modules_ = std::move(other.modules_);
    }
    return *this;
}

void ServerModules::add(std::unique_ptr<ServerModule> module) {
    if (module) {
        modules_.push_back(std::move(module));
    }
}

void ServerModules::clear() noexcept {
    while (!modules_.empty()) {
        modules_.pop_back();
    }
}

}  // namespace vexa
