#include "axserver/pluginlib/plugin_library.h"

#include <dlfcn.h>

#include <utility>

namespace vexa {

std::optional<PluginLibrary> PluginLibrary::load(const std::string& path) noexcept {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return std::nullopt;
    }
    return PluginLibrary(handle);
}

PluginLibrary::PluginLibrary(PluginLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept {
    if (this != &other) {
        reset();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

PluginLibrary::~PluginLibrary() {
    reset();
}

void* PluginLibrary::symbol(const char* name) const noexcept {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

void PluginLibrary::reset() noexcept {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

}  // namespace vexa
